#include "toolkit/image.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "toolkit/internal.h"

namespace kv {
namespace {

constexpr int32_t kImageGrowthStep = 16;
constexpr uint16_t kBitmapSignature = 0x4D42;  // "BM"
constexpr uint64_t kBitmapFileHeaderSize = 14;
constexpr uint64_t kBitmapPixelOffsetAt = 10;
constexpr uint64_t kIconHeaderSize = 6;
constexpr uint64_t kIconEntryBytesAt = 8;
constexpr uint64_t kIconEntryOffsetAt = 12;
constexpr uint16_t kIconFileType = 1;
constexpr DWORD kIconFormatVersion = 0x30000;
constexpr uint64_t kInfoHeaderSize = sizeof(BITMAPINFOHEADER);
constexpr uint64_t kBitFieldMasksSize = 3 * sizeof(DWORD);
constexpr WORD kBitCounts[] = {1, 4, 8, 16, 24, 32};

struct ImageRecord {
    HANDLE handle = nullptr;
    int16_t width = 0;
    int16_t height = 0;
    int8_t depth = 0;
    bool InUse() const { return handle != nullptr; }
};

ObjectTable<ImageRecord>& Images() {
    static ObjectTable<ImageRecord> table(kImageGrowthStep, FreeImage);
    return table;
}

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using OwnedDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct GdiDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct GlobalDeleter {
    void operator()(HGLOBAL block) const { GlobalFree(block); }
};
using OwnedGlobal = std::unique_ptr<std::remove_pointer_t<HGLOBAL>, GlobalDeleter>;

// The file image; every read is checked against its end.
class FileImage {
  public:
    FileImage(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    template <class T>
    bool Read(uint64_t offset, T* value) const {
        if (!Contains(offset, sizeof(T)))
            return false;
        std::memcpy(value, data_ + offset, sizeof(T));
        return true;
    }
    const uint8_t* At(uint64_t offset) const { return data_ + offset; }

  private:
    const uint8_t* data_;
    uint64_t size_;
};

// What the platform reads of a device-independent bitmap with `lines` rows: the information
// header with its colour masks and colour table, then the rows.
struct DibLayout {
    uint64_t masksBytes = 0;  // right after the first 40 bytes of the header
    uint64_t coloursAt = 0;
    uint64_t colourBytes = 0;
    uint64_t pixelBytes = 0;

    uint64_t HeaderBytes() const { return coloursAt + colourBytes; }
};

uint64_t RowBytes(int32_t width, WORD bitCount) {
    return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

// Nothing for a header whose format the platform would read in some other way (compressed,
// the old 12-byte header) or whose size does not fit the image record.
std::optional<DibLayout> LayoutOf(const BITMAPINFOHEADER& info, int64_t lines) {
    if (info.biSize < kInfoHeaderSize || info.biPlanes != 1)
        return std::nullopt;
    if (info.biWidth <= 0 || info.biWidth > INT16_MAX || lines <= 0 || lines > INT16_MAX) {
        return std::nullopt;
    }
    if (std::find(std::begin(kBitCounts), std::end(kBitCounts), info.biBitCount) ==
        std::end(kBitCounts)) {
        return std::nullopt;
    }
    const bool bitFields = info.biCompression == BI_BITFIELDS;
    if (info.biCompression != BI_RGB &&
        !(bitFields && (info.biBitCount == 16 || info.biBitCount == 32))) {
        return std::nullopt;
    }
    uint64_t colours = info.biClrUsed;
    if (colours == 0 && info.biBitCount <= 8)
        colours = uint64_t{1} << info.biBitCount;

    DibLayout layout;
    // The masks follow a 40-byte header and sit at the same place inside the larger ones.
    layout.masksBytes = bitFields ? kBitFieldMasksSize : 0;
    layout.coloursAt = std::max<uint64_t>(info.biSize, kInfoHeaderSize + layout.masksBytes);
    layout.colourBytes = colours * sizeof(RGBQUAD);
    layout.pixelBytes = RowBytes(info.biWidth, info.biBitCount) * static_cast<uint64_t>(lines);
    return layout;
}

bool Measure(HBITMAP bitmap, int32_t heightDivisor, ImageRecord* record) {
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof(info), &info))
        return false;
    record->width = static_cast<int16_t>(info.bmWidth);
    record->height = static_cast<int16_t>(info.bmHeight / heightDivisor);
    record->depth = static_cast<int8_t>(info.bmBitsPixel);
    return true;
}

ImageRecord CatchBitmap(const FileImage& file) {
    uint32_t pixelOffset = 0;
    BITMAPINFOHEADER header{};
    if (!file.Read(kBitmapPixelOffsetAt, &pixelOffset) ||
        !file.Read(kBitmapFileHeaderSize, &header)) {
        return {};
    }
    const int64_t lines = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    const std::optional<DibLayout> layout = LayoutOf(header, lines);
    if (!layout || !file.Contains(kBitmapFileHeaderSize, layout->HeaderBytes()) ||
        !file.Contains(pixelOffset, layout->pixelBytes)) {
        return {};
    }
    // The platform gets a 40-byte header of its own, so the larger headers' colour profiles
    // (offsets into the file that nothing has checked) are never followed.
    const uint8_t* fileHeader = file.At(kBitmapFileHeaderSize);
    std::vector<uint8_t> description(kInfoHeaderSize + layout->masksBytes + layout->colourBytes);
    std::memcpy(description.data(), fileHeader, kInfoHeaderSize + layout->masksBytes);
    std::memcpy(description.data() + kInfoHeaderSize + layout->masksBytes,
                fileHeader + layout->coloursAt, layout->colourBytes);
    auto* source = reinterpret_cast<BITMAPINFO*>(description.data());
    source->bmiHeader.biSize = kInfoHeaderSize;

    BITMAPINFO target{};
    target.bmiHeader.biSize = kInfoHeaderSize;
    target.bmiHeader.biWidth = header.biWidth;
    target.bmiHeader.biHeight = header.biHeight;
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap bitmap;
    {
        const OwnedDc display(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
        bitmap.reset(CreateDIBSection(display.get(), &target, DIB_RGB_COLORS, &bits, nullptr, 0));
    }
    if (!bitmap)
        return {};
    if (const OwnedDc memory{CreateCompatibleDC(nullptr)}) {
        SetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(lines), file.At(pixelOffset),
                  source, DIB_RGB_COLORS);
    }
    ImageRecord record;
    if (Measure(bitmap.get(), 1, &record))
        record.handle = bitmap.release();
    return record;
}

ImageRecord CatchIcon(const FileImage& file) {
    uint16_t reserved = 0;
    uint16_t type = 0;
    uint16_t count = 0;
    uint32_t imageBytes = 0;
    uint32_t imageOffset = 0;
    if (!file.Read(0, &reserved) || !file.Read(2, &type) || !file.Read(4, &count) ||
        reserved != 0 || type != kIconFileType || count == 0 ||
        !file.Read(kIconHeaderSize + kIconEntryBytesAt, &imageBytes) ||
        !file.Read(kIconHeaderSize + kIconEntryOffsetAt, &imageOffset) ||
        !file.Contains(imageOffset, imageBytes)) {
        return {};
    }

    BITMAPINFOHEADER header{};
    if (!file.Read(imageOffset, &header) || header.biSize != kInfoHeaderSize)
        return {};
    // The colour rows, then the transparency mask of one bit per pixel.
    const int64_t lines = header.biHeight / 2;
    const std::optional<DibLayout> layout = LayoutOf(header, lines);
    if (!layout ||
        layout->HeaderBytes() + layout->pixelBytes + RowBytes(header.biWidth, 1) * lines >
            imageBytes) {
        return {};
    }

    OwnedIcon icon;
    {
        OwnedGlobal copy(GlobalAlloc(GMEM_FIXED, imageBytes));
        if (!copy)
            return {};
        auto* resource = static_cast<BYTE*>(copy.get());
        std::memcpy(resource, file.At(imageOffset), imageBytes);
        icon.reset(CreateIconFromResourceEx(resource, imageBytes, TRUE, kIconFormatVersion,
                                            header.biWidth, static_cast<int>(lines),
                                            LR_DEFAULTCOLOR));
        if (!icon && header.biBitCount != 16) {
            icon.reset(CreateIconFromResource(resource, imageBytes, TRUE, kIconFormatVersion));
        }
    }
    if (!icon)
        return {};

    ICONINFO parts{};
    if (!GetIconInfo(icon.get(), &parts))
        return {};
    const OwnedBitmap colour(parts.hbmColor);
    const OwnedBitmap mask(parts.hbmMask);
    // A monochrome icon has no colour bitmap; its mask holds both halves.
    ImageRecord record;
    if (colour ? Measure(colour.get(), 1, &record) : Measure(mask.get(), 2, &record)) {
        record.handle = icon.release();
    }
    return record;
}

ImageRecord Decode(const void* data, size_t size) {
    if (!data)
        return {};
    const FileImage file(data, size);
    uint16_t signature = 0;
    if (file.Read(0, &signature) && signature == kBitmapSignature)
        return CatchBitmap(file);
    return CatchIcon(file);
}

}  // namespace

void InitImageLibrary() {
    Images();
}

intptr_t CatchImage(ObjectNumber number, const void* data, size_t size) {
    ObjectNumber assigned = 0;
    ImageRecord* record = Images().Allocate(number, &assigned);
    if (!record)
        return 0;
    const ImageRecord decoded = Decode(data, size);
    if (!decoded.InUse()) {
        Images().Release(assigned);
        return 0;
    }
    *record = decoded;
    return number == kDynamicNumber ? assigned : reinterpret_cast<intptr_t>(decoded.handle);
}

HANDLE ImageID(ObjectNumber number) {
    const ImageRecord* image = Images().Lookup(number);
    return image ? image->handle : nullptr;
}

int32_t ImageWidth(ObjectNumber number) {
    const ImageRecord* image = Images().Lookup(number);
    return image ? image->width : 0;
}

int32_t ImageHeight(ObjectNumber number) {
    const ImageRecord* image = Images().Lookup(number);
    return image ? image->height : 0;
}

int32_t ImageDepth(ObjectNumber number) {
    const ImageRecord* image = Images().Lookup(number);
    return image ? image->depth : 0;
}

void FreeImage(ObjectNumber number) {
    const ImageRecord* image = Images().Lookup(number);
    if (!image)
        return;
    if (GetObjectType(image->handle) == OBJ_BITMAP) {
        DeleteObject(image->handle);
    } else {
        DestroyIcon(static_cast<HICON>(image->handle));
    }
    Images().Release(number);
}

void FreeAllImages() {
    Images().ForEachNumber(FreeImage);
}

}  // namespace kv
