#include "store/fuentes.h"

#include <algorithm>
#include <cstring>

namespace store {

Fuente DeDescriptor(Archivos& archivos, int fd) {
    return [&archivos, fd](char* destino, std::size_t largo, std::int64_t desde) {
        return archivos.leer(fd, destino, largo, static_cast<off_t>(desde));
    };
}

Fuente DeMemoria(std::string_view datos) {
    return [datos](char* destino, std::size_t largo, std::int64_t desde) {
        const std::size_t d = static_cast<std::size_t>(desde);
        const std::size_t n = d < datos.size() ? std::min(largo, datos.size() - d) : 0;
        std::memcpy(destino, datos.data() + d, n);
        return static_cast<ssize_t>(n);
    };
}

std::size_t BloquePara(off_t largo) {
    return static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(kBloque), largo + 1));
}

} // namespace store
