// The platform under the modules: COM creates a filter graph that renders a generated WAV,
// DirectSound gives a device with a static buffer, and what both play is heard in the recording.
#include <gtest/gtest.h>

#include <windows.h>
#include <dshow.h>
#include <dsound.h>

#include "tests/support/capture.h"
#include "tests/support/pump.h"
#include "tests/support/wave_gen.h"

namespace {

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

TEST(Platform, FilterGraphRendersAndPlaysGeneratedWav) {
    ComScope com;
    ToneSpec tone;
    tone.frequency = 440;
    tone.seconds = 0.6;
    tone.amplitude = 8000;
    ASSERT_TRUE(write_bytes("platform_tone.wav", make_tone_wav(tone)));

    IGraphBuilder* graph = nullptr;
    ASSERT_GE(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               reinterpret_cast<void**>(&graph)), 0);
    ASSERT_GE(graph->RenderFile(L"platform_tone.wav", nullptr), 0);
    IMediaControl* control = nullptr;
    ASSERT_GE(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)), 0);

    int64_t mark = capture_now();
    ASSERT_GE(control->Run(), 0);
    pump_messages_for(1200);
    auto samples = capture_window(mark, 2500);
    control->Stop();
    control->Release();
    graph->Release();
    DeleteFileA("platform_tone.wav");

    if (!capture_available()) GTEST_SKIP() << "no recording (VEMBLE_AUDIO unset)";
    // Full scale is kept: a tone of amplitude 8000 comes back at about 8000.
    EXPECT_NEAR(capture_peak(samples), 8000, 800);
    EXPECT_GE(capture_sounding_ms(samples, 2000), 400);
}

TEST(Platform, DirectSoundGivesDeviceAndStaticBufferThatIsHeard) {
    IDirectSound* ds = nullptr;
    ASSERT_GE(DirectSoundCreate(nullptr, &ds, nullptr), 0);
    ASSERT_GE(ds->SetCooperativeLevel(GetActiveWindow(), DSSCL_NORMAL), 0);

    ToneSpec tone;
    tone.frequency = 1000;
    tone.seconds = 0.3;
    tone.amplitude = 4000;
    auto wav = make_tone_wav(tone);
    WAVEFORMATEX* format = reinterpret_cast<WAVEFORMATEX*>(wav.data() + 20);
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = 0x100E2;
    desc.dwBufferBytes = uint32_t(wav.size() - 44);
    desc.lpwfxFormat = format;
    EXPECT_EQ(sizeof(desc), 36u);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_GE(ds->CreateSoundBuffer(&desc, &buffer, nullptr), 0);
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_GE(buffer->Lock(0, desc.dwBufferBytes, &p1, &n1, &p2, &n2, 0), 0);
    memcpy(p1, wav.data() + 44, n1);
    buffer->Unlock(p1, n1, p2, n2);

    int64_t mark = capture_now();
    ASSERT_GE(buffer->Play(0, 0, 0), 0);
    pump_messages_for(800);
    auto samples = capture_window(mark, 800);
    buffer->Release();
    ds->Release();

    if (!capture_available()) GTEST_SKIP() << "no recording (VEMBLE_AUDIO unset)";
    EXPECT_NEAR(capture_peak(samples), 4000, 400);
}

}  // namespace
