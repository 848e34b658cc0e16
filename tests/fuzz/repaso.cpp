// Replays files through the fuzz target without libFuzzer, so that the seed
// corpus is also a test of the ordinary build: repaso_lectura FILE|DIR...

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t largo);

int main(int argc, char** argv) {
    std::vector<std::filesystem::path> archivos;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path ruta = std::filesystem::absolute(argv[i]);
        if (std::filesystem::is_directory(ruta)) {
            for (const auto& e : std::filesystem::directory_iterator(ruta)) {
                archivos.push_back(e.path());
            }
        } else {
            archivos.push_back(ruta);
        }
    }
    std::sort(archivos.begin(), archivos.end());
    LLVMFuzzerInitialize(&argc, &argv); // changes the current directory
    for (const auto& ruta : archivos) {
        std::ifstream entrada(ruta, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(entrada),
                                std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", archivos.size());
    return archivos.empty() ? 1 : 0;
}
