#include "sound/wave_file.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace vorlak {
namespace {

constexpr std::uint16_t kPcm = 1, kFloat = 3, kALaw = 6, kMuLaw = 7, kExtensible = 0xFFFE;
// The GUID of an extensible header's encoding, after its first two bytes
// (which hold the plain header's encoding number).
constexpr std::uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Chunk {
    std::size_t offset = 0;  // of the content
    std::size_t size = 0;
    bool found = false;
};

struct Format {
    std::uint16_t encoding = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::size_t blockAlign = 0;
};

std::optional<Format> readFormat(std::span<const std::uint8_t> fmt) {
    if (fmt.size() < 16) return std::nullopt;
    const std::uint8_t* p = fmt.data();
    Format f;
    f.encoding = u16(p);
    f.channels = u16(p + 2);
    const std::uint32_t rate = u32(p + 4), byteRate = u32(p + 8);
    f.blockAlign = u16(p + 12);
    f.bits = u16(p + 14);
    if (f.encoding == kExtensible) {
        if (fmt.size() < 40 || u16(p + 16) < 22) return std::nullopt;
        const int validBits = u16(p + 18);
        if (validBits > f.bits) return std::nullopt;
        if (std::memcmp(p + 26, kGuidTail, sizeof kGuidTail) != 0) return std::nullopt;
        f.encoding = u16(p + 24);
    }
    if (rate < WaveLimits::kMinRate || rate > WaveLimits::kMaxRate) return std::nullopt;
    f.rate = static_cast<int>(rate);
    if (f.channels < 1 || f.channels > WaveLimits::kMaxChannels) return std::nullopt;
    const bool known = (f.encoding == kPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32)) ||
                       (f.encoding == kFloat && (f.bits == 32 || f.bits == 64)) ||
                       ((f.encoding == kALaw || f.encoding == kMuLaw) && f.bits == 8);
    if (!known) return std::nullopt;
    // The sizes of a frame and of a second must agree with the rest.
    if (f.blockAlign != static_cast<std::size_t>(f.channels * f.bits / 8)) return std::nullopt;
    if (byteRate != rate * f.blockAlign) return std::nullopt;
    return f;
}

std::int16_t fromFloat(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 1.0) return 32767;
    if (v <= -1.0) return -32768;
    return static_cast<std::int16_t>(std::lround(std::min(v * 32768.0, 32767.0)));
}

std::int16_t fromALaw(std::uint8_t a) {
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    const int segment = (a & 0x70) >> 4;
    t += segment == 0 ? 8 : 0x108;
    if (segment > 1) t <<= segment - 1;
    return static_cast<std::int16_t>((a & 0x80) ? t : -t);
}

std::int16_t fromMuLaw(std::uint8_t u) {
    u = static_cast<std::uint8_t>(~u);
    int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return static_cast<std::int16_t>((u & 0x80) ? 0x84 - t : t - 0x84);
}

std::int16_t decodeOne(const Format& f, const std::uint8_t* p) {
    switch (f.encoding) {
        case kALaw: return fromALaw(*p);
        case kMuLaw: return fromMuLaw(*p);
        case kFloat: {
            if (f.bits == 32) {
                const std::uint32_t bits = u32(p);
                float v;
                std::memcpy(&v, &bits, sizeof v);
                return fromFloat(v);
            }
            const std::uint64_t bits = u32(p) | static_cast<std::uint64_t>(u32(p + 4)) << 32;
            double v;
            std::memcpy(&v, &bits, sizeof v);
            return fromFloat(v);
        }
        default:
            // Integer PCM: 8-bit is unsigned; wider samples keep their top 16 bits.
            if (f.bits == 8) return static_cast<std::int16_t>((*p - 128) * 256);
            return static_cast<std::int16_t>(u16(p + f.bits / 8 - 2));
    }
}

}  // namespace

std::optional<Pcm16> decodeWave(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || bytes.size() > WaveLimits::kMaxFileBytes) return std::nullopt;
    if (std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    // Chunks after the RIFF size are not part of the file (tags are often
    // appended); a chunk that runs past it or past the file's end is refused.
    const std::size_t end = std::min<std::size_t>(bytes.size(), std::size_t{8} + u32(bytes.data() + 4));
    Chunk fmt, data;
    for (std::size_t at = 12; at + 8 <= end;) {
        const std::size_t size = u32(bytes.data() + at + 4);
        if (size > end - at - 8) return std::nullopt;
        Chunk* chunk = std::memcmp(bytes.data() + at, "fmt ", 4) == 0   ? &fmt
                       : std::memcmp(bytes.data() + at, "data", 4) == 0 ? &data
                                                                        : nullptr;
        if (chunk) {
            if (chunk->found) return std::nullopt;  // a second header or data says something else
            *chunk = {at + 8, size, true};
        }
        at += 8 + size + (size & 1);  // chunks are padded to even sizes
    }
    if (!fmt.found || !data.found) return std::nullopt;
    const auto format = readFormat(bytes.subspan(fmt.offset, fmt.size));
    if (!format) return std::nullopt;
    if (data.size % format->blockAlign != 0) return std::nullopt;
    const std::size_t frames = data.size / format->blockAlign;
    if (frames > static_cast<std::size_t>(WaveLimits::kMaxSeconds) * static_cast<std::size_t>(format->rate))
        return std::nullopt;

    Pcm16 pcm;
    pcm.rate = format->rate;
    pcm.channels = format->channels;
    const std::size_t count = frames * static_cast<std::size_t>(format->channels);
    const std::size_t width = static_cast<std::size_t>(format->bits / 8);
    pcm.samples.resize(count);
    const std::uint8_t* p = bytes.data() + data.offset;
    for (std::size_t i = 0; i < count; ++i, p += width) pcm.samples[i] = decodeOne(*format, p);
    return pcm;
}

#ifdef _WIN32

std::optional<std::vector<std::uint8_t>> readRegularFile(const std::string& path, std::size_t maxBytes) {
    // The Win32 calls read bytes as they are: no text mode (which ends a file
    // at its first 0x1A byte and turns CR LF into LF) lies between them and
    // the file. The path is UTF-8.
    if (path.empty() || path.size() > 32767) return std::nullopt;
    const int pathLength = static_cast<int>(path.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), pathLength, nullptr, 0);
    if (wideLength <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), pathLength, wide.data(), wideLength);
    // Opening does not wait (a pipe with no free end fails at once), and
    // nothing but a file on a disk is read: a pipe, the console or another
    // device is refused before any read could wait for it.
    const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> content;
    BY_HANDLE_FILE_INFORMATION info;
    LARGE_INTEGER size;
    if (GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) && GetFileSizeEx(file, &size) &&
        size.QuadPart >= 0 && static_cast<std::uint64_t>(size.QuadPart) <= maxBytes) {
        // One byte more than the size, to notice a file that grew meanwhile.
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size.QuadPart) + 1);
        std::size_t used = 0;
        bool failed = false;
        while (used < buffer.size()) {
            const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size() - used, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(file, buffer.data() + used, wanted, &got, nullptr)) failed = true;
            if (failed || got == 0) break;
            used += got;
        }
        if (!failed && used < buffer.size()) {
            buffer.resize(used);
            content = std::move(buffer);
        }
    }
    CloseHandle(file);
    return content;
}

#else

std::optional<std::vector<std::uint8_t>> readRegularFile(const std::string& path, std::size_t maxBytes) {
    // Non-blocking, so that opening a named pipe returns at once; it is then
    // refused as not being a regular file. (POSIX has no text mode: bytes are
    // read as they are.)
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    std::optional<std::vector<std::uint8_t>> content;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0 &&
        static_cast<std::uintmax_t>(info.st_size) <= maxBytes) {
        // One byte more than the size, to notice a file that grew meanwhile.
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(info.st_size) + 1);
        std::size_t used = 0;
        ssize_t n = 0;
        while (used < buffer.size()) {
            n = read(fd, buffer.data() + used, buffer.size() - used);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            used += static_cast<std::size_t>(n);
        }
        if (n >= 0 && used < buffer.size()) {
            buffer.resize(used);
            content = std::move(buffer);
        }
    }
    close(fd);
    return content;
}

#endif

}  // namespace vorlak
