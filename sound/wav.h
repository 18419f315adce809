// PCM WAV files, written as the samples arrive: the header's sizes are filled in
// when the file is closed.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/host.h"

struct WavFile {
    std::FILE* file;
    uint32_t data_bytes;
    bool failed;  // a write went wrong or the file grew past what a WAV can hold
};

constexpr uint32_t wav_header_bytes = 44;

// The header of a PCM file with data_bytes of samples in the given format.
void wav_header(uint8_t out[wav_header_bytes], const HostSoundFormat& format, uint32_t data_bytes);
// Creates the file; false if it cannot be written.
bool wav_open(WavFile& wav, const std::string& path);
void wav_append(WavFile& wav, const uint8_t* data, uint32_t bytes);
// Completes the header and closes the file; false if any part of it failed.
bool wav_close(WavFile& wav, const HostSoundFormat& format);
