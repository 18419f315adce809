// The configuration file on disk: reading it at start-up and on request, writing
// it on quit and on request, and replacing a damaged one with the defaults.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <direct.h>
#else
#include <sys/stat.h>
#endif

#include "core/host.h"
#include "core/machine_state.h"
#include "files/config.h"
#include "machine/memory.h"
#include "shell/errors.h"

namespace {

// A configuration file is a few kilobytes; reading stops well beyond that.
constexpr std::size_t longest_file = 1 << 20;

void make_folder(const std::string& path)
{
#ifdef _WIN32
    _mkdir(path.c_str());
#else
    mkdir(path.c_str(), 0777);
#endif
}

// Creates a folder and any missing parents; one that exists already is left alone.
void make_folders(const std::string& path)
{
    for (std::size_t i = 1; i < path.size(); ++i)
        if (path[i] == '/' || path[i] == '\\') make_folder(path.substr(0, i));
    make_folder(path);
}

// The file's bytes (at most longest_file of them); false when it cannot be opened.
bool read_file(const std::string& path, std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char block[4096];
    std::size_t n;
    while (text.size() < longest_file && (n = std::fread(block, 1, sizeof block, f)) > 0) text.append(block, n);
    std::fclose(f);
    return true;
}

// Writes through a temporary file, so a failed write leaves the old file whole.
bool write_file(const std::string& path, const std::string& text)
{
    const std::string temporary = path + ".new";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !written) {
        std::remove(temporary.c_str());
        return false;
    }
    std::remove(path.c_str());
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

void config_set_folders(const std::string& program_path)
{
    const std::size_t last = program_path.find_last_of("\\/");
    program_folder = last == std::string::npos ? "." : program_path.substr(0, last);
    user_folder = path_join(host_app_data_folder(), "Wren81");
    make_folders(user_folder);
}

std::string config_file_path() { return path_join(user_folder, "wren81.ini"); }

int config_load()
{
    const std::string path = config_file_path();
    std::string text;
    const bool found = read_file(path, text);
    if (parse_config_text(text.data(), text.size())) {
        config_apply();
        reset_machine();
        load_roms();
        install_roms();  // even when a ROM failed to load
        set_ram_top();
        return 0;
    }
    report_error(error_config_corrupt);
    // The damaged file stays beside the new one, so hand-made settings can be recovered.
    if (found && !text.empty()) {
        const std::string kept = path + ".bak";
        std::remove(kept.c_str());
        std::rename(path.c_str(), kept.c_str());
    }
    config_defaults();
    host_show_error("Creating new config file");
    return 1;
}

bool config_save()
{
    config_snapshot();
    if (write_file(config_file_path(), config_text(config_saved))) return true;
    report_error(error_config_unwritable);
    return false;
}

void config_defaults()
{
    settings_to_defaults();
    config_save();
}
