#include "sound/wav.h"

#include <cstring>

#include "core/little_endian.h"

namespace {

// RIFF sizes are 32-bit and count everything after the first eight bytes.
constexpr uint32_t largest_data = 0xFFFFFFFFu - wav_header_bytes;

}  // namespace

void wav_header(uint8_t out[wav_header_bytes], const HostSoundFormat& format, uint32_t data_bytes)
{
    const uint32_t align = uint32_t(format.channels * format.bits / 8);
    const uint32_t padded = data_bytes + (data_bytes & 1);  // chunks are padded to even length
    std::memcpy(out, "RIFF\0\0\0\0WAVEfmt ", 16);
    put32(out + 4, 36 + padded);
    put32(out + 16, 16);  // size of the format chunk
    put16(out + 20, 1);   // PCM
    put16(out + 22, uint32_t(format.channels));
    put32(out + 24, format.rate);
    put32(out + 28, format.rate * align);
    put16(out + 32, align);
    put16(out + 34, uint32_t(format.bits));
    std::memcpy(out + 36, "data", 4);
    put32(out + 40, data_bytes);
}

bool wav_open(WavFile& wav, const std::string& path)
{
    wav = {std::fopen(path.c_str(), "wb"), 0, false};
    if (!wav.file) return false;
    const uint8_t placeholder[wav_header_bytes] = {};
    if (std::fwrite(placeholder, 1, sizeof placeholder, wav.file) == sizeof placeholder) return true;
    std::fclose(wav.file);
    wav.file = nullptr;
    return false;
}

void wav_append(WavFile& wav, const uint8_t* data, uint32_t bytes)
{
    if (!wav.file || wav.failed) return;
    if (bytes > largest_data - wav.data_bytes || std::fwrite(data, 1, bytes, wav.file) != bytes) {
        wav.failed = true;
        return;
    }
    wav.data_bytes += bytes;
}

bool wav_close(WavFile& wav, const HostSoundFormat& format)
{
    if (!wav.file) return false;
    bool ok = !wav.failed;
    if (ok && (wav.data_bytes & 1)) ok = std::fputc(0, wav.file) != EOF;
    uint8_t header[wav_header_bytes];
    wav_header(header, format, wav.data_bytes);
    ok = ok && std::fseek(wav.file, 0, SEEK_SET) == 0 &&
         std::fwrite(header, 1, sizeof header, wav.file) == sizeof header;
    ok = (std::fclose(wav.file) == 0) && ok;
    wav.file = nullptr;
    return ok;
}
