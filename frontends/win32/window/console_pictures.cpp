#include "frontends/win32/window/console_pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <string_view>

namespace vorlak {
namespace {

// Releases a COM interface at the end of its scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** put() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};


std::wstring wide(std::string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

HBITMAP bitmapOfImage(const Image& image) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) std::memcpy(bits, image.pixels.data(), image.pixels.size() * sizeof(std::uint32_t));
    return bitmap;
}

std::optional<Image> decodeJpeg(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > 0xFFFFFFFFu) return std::nullopt;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    UINT width = 0, height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.put()))) ||
        FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.get(), &GUID_ContainerFormatJpeg, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 || height > 4096)
        return std::nullopt;
    Image image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(static_cast<std::size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(image.pixels.data()))))
        return std::nullopt;
    for (std::uint32_t& p : image.pixels) p &= 0x00FFFFFFu;
    return image;
}

Image twoColourImage(const Bitmap& picture) {
    Image image;
    image.width = picture.width;
    image.height = picture.height;
    image.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = picture.black[i] ? 0x000000u : 0xFFFFFFu;
    return image;
}

std::span<const std::uint8_t> programResource(const wchar_t* name) {
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

ConsolePictures::ConsolePictures() {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (int i = 0; i < ElementCount; ++i) {
        const auto e = static_cast<Element>(i);
        const ElementInfo& info = elementInfo(e);
        if (info.picture == PictureKind::None) continue;
        const std::string name(info.name);
        const auto bytes = programResource(wide(name).c_str());
        std::string why;
        if (bytes.empty()) {
            why = "missing";
        } else if (info.picture == PictureKind::TwoColour) {
            const auto bitmap =
                parsePbm(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &why);
            if (bitmap) images_[i] = twoColourImage(*bitmap);
        } else {
            images_[i] = decodeJpeg(bytes);
            if (!images_[i]) why = "not a JPEG picture that could be read";
        }
        if (images_[i] && (images_[i]->width != info.rect.width || images_[i]->height != info.rect.height)) {
            why = "is " + std::to_string(images_[i]->width) + " x " + std::to_string(images_[i]->height) +
                  ", expected " + std::to_string(info.rect.width) + " x " + std::to_string(info.rect.height);
            images_[i].reset();
        }
        if (images_[i]) bitmaps_[i] = bitmapOfImage(*images_[i]);
        if (!bitmaps_[i]) {
            problems_.push_back("picture " + name + ": " + (why.empty() ? "no bitmap" : why));
            images_[i].reset();
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

ConsolePictures::~ConsolePictures() {
    for (HBITMAP b : bitmaps_)
        if (b) DeleteObject(b);
}

}  // namespace vorlak
