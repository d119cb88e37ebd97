#include "DialogTemplate.h"

#include <gtest/gtest.h>

namespace {

const WORD kOrdinalMark = 0xFFFF;
const WORD kExtendedSignature = 0xFFFF;

// Walks the template's words and double words, aligned as the format says.
class Reader {
public:
    Reader(const BYTE* start, size_t size) : start_(start), at_(start), end_(start + size) {}

    bool ok() const { return ok_; }

    WORD word() {
        WORD value = 0;
        take(&value, sizeof value);
        return value;
    }
    DWORD dword() {
        DWORD value = 0;
        take(&value, sizeof value);
        return value;
    }
    short signedWord() { return static_cast<short>(word()); }
    BYTE byte() {
        BYTE value = 0;
        take(&value, sizeof value);
        return value;
    }

    // A zero-terminated UTF-16 text, or 0xFFFF and a number.
    std::string textOrOrdinal(int& ordinal) {
        ordinal = -1;
        WORD first = word();
        if (first == kOrdinalMark) {
            ordinal = word();
            return std::string();
        }
        std::string text;
        for (WORD c = first; ok_ && c != 0; c = word()) text += static_cast<char>(c);
        return text;
    }
    std::string text() {
        int ordinal;
        return textOrOrdinal(ordinal);
    }

    void alignTo(size_t bytes) {
        size_t offset = static_cast<size_t>(at_ - start_);
        at_ = start_ + (offset + bytes - 1) / bytes * bytes;
    }

private:
    void take(void* out, size_t size) {
        if (at_ + size > end_) {
            ok_ = false;
            return;
        }
        memcpy(out, at_, size);
        at_ += size;
    }

    const BYTE* start_;
    const BYTE* at_;
    const BYTE* end_;
    bool ok_ = true;
};

std::string predefinedClass(int atom) {
    switch (atom) {
        case 0x0080: return "Button";
        case 0x0081: return "Edit";
        case 0x0082: return "Static";
        case 0x0083: return "ListBox";
        case 0x0084: return "ScrollBar";
        case 0x0085: return "ComboBox";
        default: return "#" + std::to_string(atom);
    }
}

void readHeader(Reader& in, DialogTemplate& dialog, WORD& count) {
    WORD first = in.word();
    WORD second = in.word();
    dialog.extended = second == kExtendedSignature && first == 1;
    if (dialog.extended) {
        in.dword();  // help id
        dialog.exStyle = in.dword();
        dialog.style = in.dword();
    } else {
        dialog.style = MAKELONG(first, second);
        dialog.exStyle = in.dword();
    }
    count = in.word();
    dialog.x = in.signedWord();
    dialog.y = in.signedWord();
    dialog.width = in.signedWord();
    dialog.height = in.signedWord();
    in.text();  // menu
    in.text();  // window class
    dialog.title = in.text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.word();
        if (dialog.extended) {
            dialog.weight = in.word();
            in.byte();  // italic
            in.byte();  // character set
        }
        dialog.faceName = in.text();
    }
}

TemplateItem readItem(Reader& in, bool extended) {
    TemplateItem item;
    in.alignTo(sizeof(DWORD));
    if (extended) {
        in.dword();  // help id
        item.exStyle = in.dword();
        item.style = in.dword();
    } else {
        item.style = in.dword();
        item.exStyle = in.dword();
    }
    item.x = in.signedWord();
    item.y = in.signedWord();
    item.width = in.signedWord();
    item.height = in.signedWord();
    item.id = extended ? static_cast<int>(in.dword()) : in.word();
    int atom;
    item.className = in.textOrOrdinal(atom);
    if (atom >= 0) item.className = predefinedClass(atom);
    item.text = in.textOrOrdinal(item.textResource);
    WORD extra = in.word();
    for (WORD i = 0; i < extra; ++i) in.byte();
    return item;
}

}  // namespace

DialogTemplate readDialogTemplate(HINSTANCE module, int resource) {
    DialogTemplate dialog;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resource), RT_DIALOG);
    EXPECT_NE(found, nullptr) << "no dialog " << resource;
    if (!found) return dialog;
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    Reader in(bytes, SizeofResource(module, found));
    WORD count = 0;
    readHeader(in, dialog, count);
    for (WORD i = 0; i < count && in.ok(); ++i) dialog.items.push_back(readItem(in, dialog.extended));
    EXPECT_TRUE(in.ok()) << "dialog " << resource << " ends early";
    return dialog;
}
