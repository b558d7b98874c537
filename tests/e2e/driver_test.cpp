// The driver's own pieces that other tests lean on: pictures and sounds the
// system decodes to exactly what we wrote, and a settings store put back.
#include <objbase.h>
#include <propvarutil.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <mmsystem.h>

#include "tests/e2e/driver.h"

namespace corvale::e2e {
namespace {

template <typename T>
using Com = win32::UniqueCom<T>;

struct DecodedFrame {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    std::optional<int> delayCentiseconds;
};

class SystemDecoder {
public:
    SystemDecoder() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IWICImagingFactory* factory = nullptr;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory));
        factory_.reset(factory);
    }
    ~SystemDecoder() {
        factory_.reset();
        CoUninitialize();
    }
    SystemDecoder(const SystemDecoder&) = delete;
    SystemDecoder& operator=(const SystemDecoder&) = delete;

    // Every frame as 24-bit colour, or nothing when the system rejects the bytes.
    std::optional<std::vector<DecodedFrame>> Decode(const Bytes& bytes) const {
        if (!factory_) return std::nullopt;
        Com<IStream> stream(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
        IWICBitmapDecoder* rawDecoder = nullptr;
        if (!stream || FAILED(factory_.get()->CreateDecoderFromStream(
                           stream.get(), nullptr, WICDecodeMetadataCacheOnLoad, &rawDecoder)))
            return std::nullopt;
        const Com<IWICBitmapDecoder> decoder(rawDecoder);
        UINT count = 0;
        if (FAILED(decoder.get()->GetFrameCount(&count))) return std::nullopt;
        std::vector<DecodedFrame> frames;
        for (UINT i = 0; i < count; ++i) {
            auto frame = DecodeFrame(decoder.get(), i);
            if (!frame) return std::nullopt;
            frames.push_back(std::move(*frame));
        }
        return frames;
    }

private:
    std::optional<DecodedFrame> DecodeFrame(IWICBitmapDecoder* decoder, UINT index) const {
        IWICBitmapFrameDecode* rawFrame = nullptr;
        if (FAILED(decoder->GetFrame(index, &rawFrame))) return std::nullopt;
        const Com<IWICBitmapFrameDecode> frame(rawFrame);
        IWICFormatConverter* rawConverter = nullptr;
        if (FAILED(factory_.get()->CreateFormatConverter(&rawConverter))) return std::nullopt;
        const Com<IWICFormatConverter> converter(rawConverter);
        if (FAILED(converter.get()->Initialize(frame.get(), GUID_WICPixelFormat32bppBGRA,
                                               WICBitmapDitherTypeNone, nullptr, 0,
                                               WICBitmapPaletteTypeCustom)))
            return std::nullopt;
        DecodedFrame out;
        UINT w = 0, h = 0;
        converter.get()->GetSize(&w, &h);
        out.width = static_cast<int>(w);
        out.height = static_cast<int>(h);
        std::vector<BYTE> bgra(static_cast<size_t>(w) * h * 4);
        if (FAILED(converter.get()->CopyPixels(nullptr, w * 4, static_cast<UINT>(bgra.size()), bgra.data())))
            return std::nullopt;
        for (size_t i = 0; i < bgra.size(); i += 4) out.pixels.push_back({bgra[i + 2], bgra[i + 1], bgra[i]});
        out.delayCentiseconds = Delay(frame.get());
        return out;
    }

    static std::optional<int> Delay(IWICBitmapFrameDecode* frame) {
        IWICMetadataQueryReader* rawReader = nullptr;
        if (FAILED(frame->GetMetadataQueryReader(&rawReader))) return std::nullopt;
        const Com<IWICMetadataQueryReader> reader(rawReader);
        PROPVARIANT value;
        PropVariantInit(&value);
        std::optional<int> delay;
        if (SUCCEEDED(reader.get()->GetMetadataByName(L"/grctlext/Delay", &value)) && value.vt == VT_UI2)
            delay = value.uiVal;
        PropVariantClear(&value);
        return delay;
    }

    Com<IWICImagingFactory> factory_;
};

// Red and green spell k, so different k never share a colour.
Rgb NumberedColour(int k) {
    return {static_cast<std::uint8_t>(k & 0xFF), static_cast<std::uint8_t>((k >> 8) * 128),
            static_cast<std::uint8_t>((k * 37) & 0xFF)};
}

// Pixels that no pattern-blind writer gets right: a deterministic scatter of
// up to `colours` colours.
Canvas Scatter(int w, int h, int colours, unsigned seed) {
    Canvas p(w, h, Rgb{});
    unsigned state = seed;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            state = state * 1664525u + 1013904223u;
            p.Set(x, y, NumberedColour(static_cast<int>((state >> 16) % static_cast<unsigned>(colours))));
        }
    return p;
}

void ExpectSamePixels(const Canvas& wrote, const DecodedFrame& read, const std::string& what) {
    ASSERT_EQ(read.width, wrote.Width()) << what;
    ASSERT_EQ(read.height, wrote.Height()) << what;
    int wrong = 0;
    for (int y = 0; y < wrote.Height(); ++y)
        for (int x = 0; x < wrote.Width(); ++x)
            if (!(read.pixels[static_cast<size_t>(y) * read.width + x] == wrote.At(x, y)) && wrong++ < 3)
                ADD_FAILURE() << what << ": pixel " << x << ", " << y << " reads "
                              << read.pixels[static_cast<size_t>(y) * read.width + x] << ", wrote "
                              << wrote.At(x, y);
    EXPECT_EQ(wrong, 0) << what;
}

TEST(Driver_Assets, BitmapsDecodeToTheirPixelsWhateverTheRowPadding) {
    const SystemDecoder system;
    for (const int width : {1, 2, 3, 4, 5, 17}) {
        Canvas p(width, 3, Rgb{10, 20, 30});
        p.Set(0, 0, Rgb{255, 0, 0});
        p.Set(width - 1, 2, Rgb{0, 0, 255});
        p.FillRect(0, 1, width, 1, Rgb{1, 254, 128});
        const auto frames = system.Decode(EncodeBmp(p));
        ASSERT_TRUE(frames) << "width " << width;
        ASSERT_EQ(frames->size(), 1u);
        ExpectSamePixels(p, frames->front(), "bitmap " + std::to_string(width) + " wide");
    }
}

TEST(Driver_Assets, GifFramesKeepTheirOrderPixelsAndDelays) {
    const SystemDecoder system;
    Canvas small(6, 4, Rgb{0, 0, 0});
    small.FillRect(2, 1, 3, 2, Rgb{255, 255, 0});
    Canvas twoTone(6, 4, Rgb{255, 255, 0});
    twoTone.Set(5, 3, Rgb{0, 0, 0});
    const std::vector<GifFrame> frames = {{small, 10}, {twoTone, 25}, {Canvas(6, 4, Rgb{0, 0, 0}), 70}};
    const auto read = system.Decode(EncodeGif(frames));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        ExpectSamePixels(frames[i].picture, (*read)[i], "frame " + std::to_string(i));
        EXPECT_EQ((*read)[i].delayCentiseconds, frames[i].delayCentiseconds) << "frame " << i;
    }
}

TEST(Driver_Assets, GifCodingSurvivesAFullCodeTableAndEveryPaletteSize) {
    // 96x96 scattered pixels overflow the 4096-entry code table several times.
    const SystemDecoder system;
    for (const int colours : {1, 2, 3, 5, 16, 17, 200, 256}) {
        const Canvas p = Scatter(96, 96, colours, 7u + static_cast<unsigned>(colours));
        const auto read = system.Decode(EncodeGif({{p, 5}}));
        ASSERT_TRUE(read) << colours << " colours";
        ASSERT_EQ(read->size(), 1u);
        ExpectSamePixels(p, read->front(), std::to_string(colours) + " colours");
    }
    Canvas tooMany(257, 1, Rgb{});
    for (int x = 0; x < 257; ++x) tooMany.Set(x, 0, NumberedColour(x));
    EXPECT_THROW(EncodeGif({{tooMany, 5}}), std::invalid_argument);
}

TEST(Driver_Assets, WavesAreRiffFilesThatTheSystemParsesAsPcm) {
    for (const auto& [ms, hz] : {std::pair{100, 440}, std::pair{1, 1000}, std::pair{333, 50}}) {
        Bytes wav = EncodeWav(ms, hz);
        MMIOINFO memory{};
        memory.fccIOProc = FOURCC_MEM;
        memory.pchBuffer = reinterpret_cast<HPSTR>(wav.data());
        memory.cchBuffer = static_cast<LONG>(wav.size());
        HMMIO file = mmioOpenW(nullptr, &memory, MMIO_READ);
        ASSERT_NE(file, nullptr);
        MMCKINFO riff{};
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        MMCKINFO chunk{};
        chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
        PCMWAVEFORMAT format{};
        const bool parsed =
            mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR &&
            mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
            mmioRead(file, reinterpret_cast<HPSTR>(&format), sizeof format) == sizeof format &&
            mmioAscend(file, &chunk, 0) == MMSYSERR_NOERROR;
        chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
        const bool hasData = parsed && mmioDescend(file, &chunk, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
        mmioClose(file, 0);
        ASSERT_TRUE(hasData) << ms << " ms";
        EXPECT_EQ(format.wf.wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(format.wf.nChannels, 1);
        EXPECT_EQ(format.wBitsPerSample, 8);
        EXPECT_EQ(chunk.cksize, format.wf.nSamplesPerSec * static_cast<DWORD>(ms) / 1000) << ms << " ms";
        EXPECT_EQ(riff.cksize + 8, wav.size());
    }
}

TEST(Driver_Settings, TheSandboxHidesTheStoreAndPutsItBackAsItWas) {
    const SettingsSandbox machines;  // whatever this machine had comes back at the end
    SaveSetting("Default", "ProgramDir", "C:\\Keep Me\\");
    SaveSetting("Screen", "Left", "12");
    {
        const SettingsSandbox sandbox;
        EXPECT_EQ(GetSetting("Default", "ProgramDir"), std::nullopt);
        SaveSetting("Default", "ProgramDir", "C:\\Test\\");
        SaveSetting("Voice", kProgramId, "QUIT");
        EXPECT_EQ(GetSetting("Default", "ProgramDir"), "C:\\Test\\");
    }
    EXPECT_EQ(GetSetting("Default", "ProgramDir"), "C:\\Keep Me\\");
    EXPECT_EQ(GetSetting("Screen", "Left"), "12");
    EXPECT_EQ(GetSetting("Voice", kProgramId), std::nullopt);
    DeleteSetting("Screen", "Left");
    EXPECT_EQ(GetSetting("Screen", "Left"), std::nullopt);
}

TEST(Driver_Settings, TextSurvivesTheRoundTripInAnyScript) {
    const SettingsSandbox sandbox;
    for (const std::string text : {"", "plain",
                                   "C:\\Programme\\\xC3\x9C"
                                   "ber\\",
                                   "\xE6\x97\xA5\xE6\x9C\xAC"}) {
        SaveSetting("Default", "ThemeDir", text);
        EXPECT_EQ(GetSetting("Default", "ThemeDir"), text);
    }
}

// A window of the test's own, painted one colour, with an edit box and a
// label, and a record of where it was pressed: something known to watch.
class OwnWindow {
public:
    OwnWindow(const Box& at, Rgb colour) : brush_(CreateSolidBrush(RGB(colour.r, colour.g, colour.b))) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CorvaleDriverTestWindow";
        wc.hbrBackground = brush_.get();
        RegisterClassW(&wc);
        window_.reset(CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"driver test", WS_POPUP | WS_VISIBLE,
                                      at.left, at.top, at.Width(), at.Height(), nullptr, nullptr,
                                      wc.hInstance, nullptr));
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        CreateWindowExW(0, L"EDIT", Wide("caf\xC3\xA9 5\xE2\x82\xAC").c_str(), WS_CHILD | WS_VISIBLE, 10, 10,
                        120, 20, window_.get(), nullptr, wc.hInstance, nullptr);
        CreateWindowExW(0, L"STATIC", L"label", WS_CHILD, 10, 40, 60, 20, window_.get(), nullptr,
                        wc.hInstance, nullptr);
        Pump();
    }
    ~OwnWindow() { window_.reset(); }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    HWND Handle() const { return window_.get(); }
    const std::vector<POINT>& Presses() const { return presses_; }
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<OwnWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_LBUTTONDOWN)
            self->presses_.push_back(
                {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return DefWindowProcW(window, message, wParam, lParam);
    }

    win32::UniqueBrush brush_;
    win32::UniqueWindow window_;
    std::vector<POINT> presses_;
};

TEST(Driver_Watching, ScreenPixelsRectanglesAndChildTextsAreWhatTheWindowShows) {
    const Box at{200, 150, 520, 390};
    const Rgb colour{17, 99, 201};
    const OwnWindow own(at, colour);
    ASSERT_TRUE(own.Handle());
    EXPECT_EQ(WindowRect(own.Handle()), at);
    EXPECT_EQ(ClientRectOnScreen(own.Handle()), at);
    const POINT inside = PointIn(at, 0.75, 0.8);
    EXPECT_TRUE(WaitUntil(
        [&] {
            OwnWindow::Pump();
            return ScreenPixel(inside.x, inside.y) == colour;
        },
        3s))
        << ScreenPixel(inside.x, inside.y);
    const std::vector<ChildWindow> children = ChildWindows(own.Handle());
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[0].className, "Edit");
    EXPECT_EQ(children[0].text, "caf\xC3\xA9 5\xE2\x82\xAC");
    EXPECT_EQ(children[0].rect, (Box{210, 160, 330, 180}));
    EXPECT_TRUE(children[0].visible);
    EXPECT_EQ(children[1].text, "label");
    EXPECT_FALSE(children[1].visible);
}

TEST(Driver_Watching, ClicksLandWhereTheyAreAimed) {
    const Box at{300, 200, 500, 300};
    const OwnWindow own(at, Rgb{0, 0, 0});
    ASSERT_TRUE(own.Handle());
    MoveCursor(310, 290);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 310);
    EXPECT_EQ(cursor.y, 290);
    Click(450, 275);
    EXPECT_TRUE(WaitUntil(
        [&] {
            OwnWindow::Pump();
            return !own.Presses().empty();
        },
        3s));
    ASSERT_EQ(own.Presses().size(), 1u);
    EXPECT_EQ(own.Presses()[0].x, 150);
    EXPECT_EQ(own.Presses()[0].y, 75);
}

}  // namespace
}  // namespace corvale::e2e
