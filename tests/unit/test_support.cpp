#include "unit/test_support.h"

#include <sys/wait.h>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <tuple>

#include "core/bytes.h"
#include "core/ifo_tables.h"

namespace navtab::test {

TempDir::TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("navtab-test-" + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, Bytes> folderFiles(const std::filesystem::path& folder) {
    std::map<std::string, Bytes> files;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        files[e.path().filename().string()] = readFile(e.path().string());
    return files;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

namespace {

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

CommandResult runCommand(const std::string& commandLine) {
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    CommandResult r;
    int raw = std::system((commandLine + " >" + shellQuote(out) + " 2>" + shellQuote(err)).c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const Bytes o = readFile(out), e = readFile(err);
    r.out.assign(o.begin(), o.end());
    r.err.assign(e.begin(), e.end());
    return r;
}

CommandResult runCli(const std::vector<std::string>& args) {
    std::string line = shellQuote(NAVTAB_CLI);
    for (const auto& a : args) line += " " + shellQuote(a);
    return runCommand(line);
}

std::string sampleFile(const std::string& disc, const std::string& name) {
    return std::string(NAVTAB_TEST_DATA) + "/" + disc + "/VIDEO_TS/" + name;
}

std::vector<std::string> allSampleInfoFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(NAVTAB_TEST_DATA)) {
        const auto ext = entry.path().extension().string();
        if (ext == ".IFO" || ext == ".BUP") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

void copySampleFolder(const std::string& disc, const std::filesystem::path& to, bool lower) {
    const auto from = std::filesystem::path(sampleFile(disc, "VIDEO_TS.IFO")).parent_path();
    for (const auto& e : std::filesystem::directory_iterator(from)) {
        std::string name = e.path().filename().string();
        if (lower) std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        std::filesystem::copy_file(e.path(), to / name);
    }
}

std::string lsdvdOf(const std::filesystem::path& folder) {
    const auto r = runCommand("lsdvd -x '" + folder.string() + "' 2>/dev/null");
    return r.status == 0 ? r.out : "";
}

void put32At(Bytes& b, std::size_t offset, std::uint32_t v) {
    put32(b.data() + offset, v);
}

Bytes buildVtsFile(const std::vector<std::tuple<int, std::uint32_t, std::uint32_t>>& tables) {
    std::size_t sectors = 1;
    for (const auto& [id, sector, end] : tables)
        sectors = std::max<std::size_t>(
            sectors, sector + roundToSector(std::uint64_t{end} + 1) / kSectorSize);
    Bytes file(sectors * kSectorSize, 0);
    const char* ident = "DVDVIDEO-VTS";
    std::copy(ident, ident + 12, file.begin());
    put32At(file, kMatLastSectorOfIfo, static_cast<std::uint32_t>(sectors - 1));
    for (const auto& [id, sector, end] : tables) {
        const auto loc = tableLocation(id);
        put32At(file, loc->matPointer, sector);
        put32At(file, sector * kSectorSize + loc->endWord, end);
        file[sector * kSectorSize + end] = static_cast<std::uint8_t>(0xA0 + id);
    }
    return file;
}

}  // namespace navtab::test
