#include <benchmark/benchmark.h>

#include "forward/CarrierTable.h"
#include "settings/SettingsKey.h"

// A whole settings record in stored form and back, as load and save do
// once each, and one phone destination, as every message in phone mode does.
static void BM_SettingsRoundTrip(benchmark::State& state) {
    Settings settings;
    settings.smtpServer = "mail.example.com";
    settings.reply = "Your message has been forwarded to a mobile device";
    settings.charLimit = 120;
    for (auto _ : state) {
        Settings loaded;
        for (const SettingsKey& key : kSettingsKeys) assignStored(loaded, key, storedValue(settings, key));
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_SettingsRoundTrip);

static void BM_PhoneGatewayAddress(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(phoneGatewayAddress("+1 (555) 123-4567", "USA: Voicestream"));
    }
}
BENCHMARK(BM_PhoneGatewayAddress);
