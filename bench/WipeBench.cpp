// Wiping speed beside a plain sequential write of the same file: one run, throughput and ratio.
// Usage: wipe_bench [folder] [megabytes]   (default: the temp folder, 256 MB)
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "engine/WipeUnit.h"

namespace {

double Seconds(const LARGE_INTEGER &a, const LARGE_INTEGER &b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}

// One plain sequential write of the whole file, flushed to disk as each wipe round is.
bool PlainWrite(const std::string &path, unsigned long long bytes, DWORD disposition)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::vector<char> block(1u << 20, 'p');
    bool ok = true;
    for (unsigned long long left = bytes; ok && left > 0;) {
        DWORD n = left < block.size() ? DWORD(left) : DWORD(block.size());
        DWORD written = 0;
        ok = WriteFile(h, block.data(), n, &written, nullptr) && written == n;
        left -= n;
    }
    ok = ok && FlushFileBuffers(h);
    CloseHandle(h);
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string folder;
    if (argc > 1) {
        folder = argv[1];
    } else {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        folder = tmp;
    }
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    unsigned long long mb = argc > 2 ? strtoull(argv[2], nullptr, 10) : 256;
    unsigned long long bytes = mb << 20;
    std::string path = folder + "qm_wipe_bench.bin";

    // The file exists first, so both timed runs overwrite allocated blocks; the wipe also renames
    // and deletes, so the cost of a plain delete is printed too.
    LARGE_INTEGER t0, t1, t2, t3;
    bool made = PlainWrite(path, bytes, CREATE_ALWAYS);
    QueryPerformanceCounter(&t0);
    if (!made || !PlainWrite(path, bytes, OPEN_EXISTING)) {
        std::printf("plain write of %s failed\n", path.c_str());
        DeleteFileA(path.c_str());
        return 1;
    }
    QueryPerformanceCounter(&t1);
    // A fresh file for the wipe, allocated the same way.
    if (!DeleteFileA(path.c_str()) || !PlainWrite(path, bytes, CREATE_ALWAYS)) return 1;
    QueryPerformanceCounter(&t2);
    bool wiped = WipeFile(path, 0);   // one overwrite round, rename, delete
    QueryPerformanceCounter(&t3);
    if (!wiped) {
        std::printf("wipe of %s failed\n", path.c_str());
        DeleteFileA(path.c_str());
        return 1;
    }
    double plain = Seconds(t0, t1), wipe = Seconds(t2, t3);
    LARGE_INTEGER d0, d1;
    if (!PlainWrite(path, bytes, CREATE_ALWAYS)) return 1;
    QueryPerformanceCounter(&d0);
    DeleteFileA(path.c_str());
    QueryPerformanceCounter(&d1);
    double del = Seconds(d0, d1);
    double mbs = double(bytes) / (1 << 20);
    std::printf("file size                 %llu MB\n", mb);
    std::printf("plain write               %.3f s  %.1f MB/s\n", plain, mbs / plain);
    std::printf("plain delete              %.3f s\n", del);
    std::printf("wipe, 1 round and delete  %.3f s  %.1f MB/s\n", wipe, mbs / wipe);
    std::printf("throughput ratio wipe / (plain write + delete)  %.2f\n", (plain + del) / wipe);
    std::printf("throughput ratio wipe / plain write             %.2f\n", plain / wipe);
    return 0;
}
