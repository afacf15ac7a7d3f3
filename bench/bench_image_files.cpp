// Loading the 2000 × 1072 photograph into a surface, beside djpeg's decode of
// the same file as the yardstick (ours should cost at most 1.3 times as
// much), and writing the picture in each format.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <memory>
#include <string>

#include "surface/cdadc.h"
#include "surface/image_files.h"

extern char** environ;

namespace {

const std::string& Photo() {
    static const std::string path =
        (std::filesystem::path(FABULOR_SOURCE_DIR) / "../shared/testimages/photos/xmp_test.jpg")
            .lexically_normal()
            .string();
    return path;
}

std::unique_ptr<CDADC> LoadPhoto() {
    HGLOBAL dib = VicLoadImageFile(Photo().c_str());
    if (!dib) return nullptr;
    std::unique_ptr<CDADC> surface(CDADC::CreateFromDib(dib));
    GlobalFree(dib);
    return surface;
}

void BM_LoadJpegIntoSurface(benchmark::State& state) {
    if (!std::filesystem::exists(Photo())) return state.SkipWithError("no ../shared photo");
    for (auto _ : state) {
        std::unique_ptr<CDADC> surface = LoadPhoto();
        if (!surface) return state.SkipWithError("the photo did not load");
        benchmark::DoNotOptimize(surface->pBits);
    }
}
BENCHMARK(BM_LoadJpegIntoSurface)->Unit(benchmark::kMillisecond)->UseRealTime();

// djpeg (libjpeg-turbo-progs) decoding the same file to /dev/null, process start included.
void BM_DjpegYardstick(benchmark::State& state) {
    if (!std::filesystem::exists(Photo())) return state.SkipWithError("no ../shared photo");
    std::string program = "djpeg", outfile = "-outfile", devnull = "/dev/null";
    std::string photo = Photo();
    char* argv[] = {program.data(), outfile.data(), devnull.data(), photo.data(), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawnp(&child, "djpeg", nullptr, nullptr, argv, environ) != 0)
            return state.SkipWithError("djpeg is not installed (libjpeg-turbo-progs)");
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return state.SkipWithError("djpeg failed");
    }
}
BENCHMARK(BM_DjpegYardstick)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePhoto(benchmark::State& state, const char* extension) {
    std::unique_ptr<CDADC> surface = LoadPhoto();
    if (!surface) return state.SkipWithError("the photo did not load");
    const std::string name =
        (std::filesystem::temp_directory_path() / (std::string("bench_photo.") + extension))
            .string();
    for (auto _ : state)
        if (!surface->WriteImageFile(name.c_str())) return state.SkipWithError("writing failed");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(name));
    std::filesystem::remove(name);
}
BENCHMARK_CAPTURE(BM_WritePhoto, bmp, "bmp")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WritePhoto, tga, "tga")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WritePhoto, jpg, "jpg")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WritePhoto, png, "png")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WritePhoto, pcx, "pcx")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
