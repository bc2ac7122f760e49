// A few hundred small files (0.5 to 8 KiB, as GUI layouts, fonts and data
// sheets are) read whole, each opened by name: through the engine's pack
// ("data.dat" mounted on "data/"), through the engine from the loose folder,
// and the same files through PhysFS, the library one would otherwise pick,
// from an uncompressed zip and from the loose folder.
//
// Counters: files/s and MB/s (10^6 bytes per second of wall-clock time).

#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/PackBuilder.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#ifdef BW_HAVE_PHYSFS
#include <physfs.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <ftw.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

const int kFileCount = 400;

struct Sample
{
    std::string folder; // absolute, with a trailing '/'
    std::vector<std::string> names; // relative to data/
    std::vector<std::wstring> enginePaths; // "data/..." as the game asks for them
    uint64_t totalBytes = 0;
};

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    std::remove(path);
    return 0;
}

void AppendU16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v));
    out.push_back(static_cast<char>(v >> 8));
}

void AppendU32(std::string& out, uint32_t v)
{
    AppendU16(out, v & 0xFFFF);
    AppendU16(out, v >> 16);
}

// A zip with every entry stored (method 0), as PhysFS reads without inflating.
void WriteStoredZip(const std::string& path, const std::vector<std::string>& names,
                    const std::vector<std::string>& contents)
{
    std::string body, directory;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const std::string& data = contents[i];
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
        uint32_t offset = static_cast<uint32_t>(body.size());
        std::string common;
        AppendU16(common, 10); // version needed
        AppendU16(common, 0);  // flags
        AppendU16(common, 0);  // stored
        AppendU16(common, 0);  // time
        AppendU16(common, 0x21); // date
        AppendU32(common, crc);
        AppendU32(common, static_cast<uint32_t>(data.size()));
        AppendU32(common, static_cast<uint32_t>(data.size()));
        AppendU16(common, static_cast<uint32_t>(names[i].size()));
        AppendU16(common, 0); // extra length

        AppendU32(body, 0x04034b50);
        body += common + names[i] + data;

        AppendU32(directory, 0x02014b50);
        AppendU16(directory, 20); // made by
        directory += common;
        AppendU16(directory, 0); // comment length
        AppendU16(directory, 0); // disk
        AppendU16(directory, 0); // internal attributes
        AppendU32(directory, 0); // external attributes
        AppendU32(directory, offset);
        directory += names[i];
    }
    std::string end;
    AppendU32(end, 0x06054b50);
    AppendU16(end, 0);
    AppendU16(end, 0);
    AppendU16(end, static_cast<uint32_t>(names.size()));
    AppendU16(end, static_cast<uint32_t>(names.size()));
    AppendU32(end, static_cast<uint32_t>(directory.size()));
    AppendU32(end, static_cast<uint32_t>(body.size()));
    AppendU16(end, 0);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << body << directory << end;
}

// The sample folder, made once per run and removed at exit. The process
// works inside it, as the game works in its data root.
const Sample& GetSample()
{
    static Sample* sample = nullptr;
    if (sample)
        return *sample;
    sample = new Sample;
    char pattern[] = "/tmp/bw-bench-pack-XXXXXX";
    sample->folder = std::string(mkdtemp(pattern)) + "/";
    std::atexit([] { nftw(GetSample().folder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); });
    if (chdir(sample->folder.c_str()) != 0)
        std::abort();

    static const char* const kFolders[] = {"gui/menu/", "gui/level/", "font/", "fx/", "sheets/"};
    std::vector<std::string> contents;
    uint32_t seed = 12345;
    for (int i = 0; i < kFileCount; ++i)
    {
        std::string folder = kFolders[i % 5];
        std::string name = folder + "item" + std::to_string(i) + ".bin";
        seed = seed * 1103515245u + 12345u;
        size_t size = 512 + (seed >> 8) % (8 * 1024 - 512);
        std::string data(size, '\0');
        for (size_t b = 0; b < size; ++b)
            data[b] = static_cast<char>((b * 31 + i) & 0xFF);
        mkdir("data", 0755);
        mkdir("data/gui", 0755);
        mkdir(("data/" + folder).c_str(), 0755);
        std::ofstream("data/" + name, std::ios::binary) << data;
        sample->names.push_back(name);
        sample->enginePaths.push_back(L"data/" + std::wstring(name.begin(), name.end()));
        sample->totalBytes += size;
        contents.push_back(data);
    }
    if (file::BuildPack(L"data", L"data.dat") != BW_OK)
        std::abort();
    WriteStoredZip("data.zip", sample->names, contents);
    return *sample;
}

void Report(benchmark::State& state, const Sample& sample)
{
    double files = static_cast<double>(state.iterations()) * sample.names.size();
    double bytes = static_cast<double>(state.iterations()) * static_cast<double>(sample.totalBytes);
    state.counters["files/s"] = benchmark::Counter(files, benchmark::Counter::kIsRate);
    state.counters["MB/s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
    state.SetLabel(std::to_string(sample.names.size()) + " files, " + std::to_string(sample.totalBytes / 1024) +
                   " KiB");
}

void ReadThroughEngine(benchmark::State& state, bool packed)
{
    const Sample& sample = GetSample();
    file::FileManager* manager = file::FileManager::Instance();
    manager->GetMountTable().clear();
    if (packed)
        manager->GetMountTable()[L"data/"] = L"data.dat";
    manager->DropArchives();
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state)
    {
        for (const std::wstring& path : sample.enginePaths)
        {
            std::unique_ptr<file::FileInfo> info(manager->GetFileInfo(path));
            std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
            if (!stream)
            {
                state.SkipWithError("a file is missing");
                return;
            }
            uint32_t size = stream->GetSize();
            if (stream->Read(buffer.data(), size) != size)
            {
                state.SkipWithError("a short read");
                return;
            }
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    Report(state, sample);
}

void BM_Pack(benchmark::State& state)
{
    ReadThroughEngine(state, true);
}
BENCHMARK(BM_Pack)->UseRealTime();

void BM_LooseFiles(benchmark::State& state)
{
    ReadThroughEngine(state, false);
}
BENCHMARK(BM_LooseFiles)->UseRealTime();

#ifdef BW_HAVE_PHYSFS
// The same files through PhysFS with `archive` (a zip or a folder) mounted at
// the root.
void ReadThroughPhysFs(benchmark::State& state, const std::string& archive)
{
    const Sample& sample = GetSample();
    if (!PHYSFS_isInit() && !PHYSFS_init(nullptr))
    {
        state.SkipWithError("PhysFS does not start");
        return;
    }
    if (!PHYSFS_mount(archive.c_str(), nullptr, 1))
    {
        state.SkipWithError("PhysFS cannot mount the sample");
        return;
    }
    std::vector<char> buffer(64 * 1024);
    const char* error = nullptr;
    for (auto _ : state)
    {
        for (const std::string& name : sample.names)
        {
            PHYSFS_File* file = PHYSFS_openRead(name.c_str());
            if (!file)
            {
                error = "a file is missing";
                break;
            }
            PHYSFS_sint64 size = PHYSFS_fileLength(file);
            const bool whole = PHYSFS_readBytes(file, buffer.data(), static_cast<PHYSFS_uint64>(size)) == size;
            PHYSFS_close(file);
            if (!whole)
            {
                error = "a short read";
                break;
            }
            benchmark::DoNotOptimize(buffer.data());
        }
        if (error)
            break;
    }
    PHYSFS_unmount(archive.c_str());
    if (error)
        state.SkipWithError(error);
    else
        Report(state, sample);
}

void BM_PhysFsZip(benchmark::State& state)
{
    ReadThroughPhysFs(state, GetSample().folder + "data.zip");
}
BENCHMARK(BM_PhysFsZip)->UseRealTime();

// The loose folder, mounted as a game would mount its data folder.
void BM_PhysFsFolder(benchmark::State& state)
{
    ReadThroughPhysFs(state, GetSample().folder + "data");
}
BENCHMARK(BM_PhysFsFolder)->UseRealTime();
#endif

} // namespace
