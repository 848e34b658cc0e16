#include "disco.h"

#include "store/ficha.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace prueba {

Disco::Disco(std::string bytes)
    : archivo_(std::make_shared<Nodo>(Nodo{bytes, bytes})), archivo_sincronizado_(archivo_) {}

void Disco::Llamada() {
    if (cortado_ || quedan_-- == 0) {
        cortado_ = true;
        throw Apagon{};
    }
}

Disco::Abierto* Disco::Buscar(int fd) {
    const auto i = abiertos_.find(fd);
    if (i == abiertos_.end()) {
        errno = EBADF;
        return nullptr;
    }
    return &i->second;
}

void Disco::Reiniciar(std::size_t sobrevive) {
    abiertos_.clear();
    cortado_ = false;
    quedan_ = -1;
    archivo_ = archivo_sincronizado_;
    if (archivo_) {
        Nodo& n = *archivo_;
        if (n.datos.starts_with(n.sincronizado)) {
            n.sincronizado += n.datos.substr(n.sincronizado.size(), sobrevive);
        }
        n.datos = n.sincronizado;
    }
}

std::optional<std::string> Disco::Archivo() const {
    if (!archivo_) {
        return std::nullopt;
    }
    return archivo_->datos;
}

std::size_t Disco::Pendientes() const {
    if (!archivo_ || !archivo_->datos.starts_with(archivo_->sincronizado)) {
        return 0;
    }
    return archivo_->datos.size() - archivo_->sincronizado.size();
}

int Disco::abrir(const char* nombre, int modo, mode_t) {
    Llamada();
    if (std::strcmp(nombre, ".") == 0 && (modo & O_DIRECTORY) != 0) {
        abiertos_[siguiente_fd_] = {};
        return siguiente_fd_++;
    }
    if (std::strcmp(nombre, store::kNombreArchivo) != 0) {
        errno = ENOENT;
        return -1;
    }
    if (archivo_ && (modo & O_CREAT) != 0 && (modo & O_EXCL) != 0) {
        errno = EEXIST;
        return -1;
    }
    if (!archivo_) {
        if ((modo & O_CREAT) == 0) {
            errno = ENOENT;
            return -1;
        }
        archivo_ = std::make_shared<Nodo>();
    }
    abiertos_[siguiente_fd_] = {archivo_};
    return siguiente_fd_++;
}

int Disco::bloquear(int fd, int) {
    Llamada();
    return Buscar(fd) != nullptr ? 0 : -1;
}

int Disco::estado(int fd, struct stat& datos) {
    Llamada();
    const Abierto* a = Buscar(fd);
    if (a == nullptr) {
        return -1;
    }
    datos = {};
    if (!a->nodo) {
        datos.st_mode = S_IFDIR | 0755;
        datos.st_nlink = 2;
        return 0;
    }
    datos.st_mode = S_IFREG | 0644;
    datos.st_nlink = a->nodo == archivo_ ? 1 : 0;
    datos.st_size = static_cast<off_t>(a->nodo->datos.size());
    return 0;
}

ssize_t Disco::leer(int fd, void* destino, std::size_t largo, off_t desde) {
    Llamada();
    const Abierto* a = Buscar(fd);
    if (a == nullptr || !a->nodo || desde < 0) {
        errno = a == nullptr ? EBADF : a->nodo ? EINVAL : EISDIR;
        return -1;
    }
    const std::string& d = a->nodo->datos;
    const auto desde_ = static_cast<std::size_t>(desde);
    const std::size_t n = desde_ < d.size() ? std::min(largo, d.size() - desde_) : 0;
    std::memcpy(destino, d.data() + desde_, n);
    return static_cast<ssize_t>(n);
}

// Every descriptor of fichas.dat appends, as a save opens it.
ssize_t Disco::escribir(int fd, const void* datos, std::size_t largo) {
    Llamada();
    const Abierto* a = Buscar(fd);
    if (a == nullptr || !a->nodo) {
        errno = a == nullptr ? EBADF : EISDIR;
        return -1;
    }
    a->nodo->datos.append(static_cast<const char*>(datos), largo);
    return static_cast<ssize_t>(largo);
}

int Disco::sincronizar(int fd) {
    Llamada();
    const Abierto* a = Buscar(fd);
    if (a == nullptr) {
        return -1;
    }
    if (a->nodo) {
        a->nodo->sincronizado = a->nodo->datos;
    } else {
        archivo_sincronizado_ = archivo_;
    }
    return 0;
}

int Disco::truncar(int fd, off_t largo) {
    Llamada();
    const Abierto* a = Buscar(fd);
    if (a == nullptr || !a->nodo || largo < 0) {
        errno = a == nullptr ? EBADF : EINVAL;
        return -1;
    }
    a->nodo->datos.resize(static_cast<std::size_t>(largo));
    return 0;
}

int Disco::borrar(const char* nombre) {
    Llamada();
    if (std::strcmp(nombre, store::kNombreArchivo) != 0 || !archivo_) {
        errno = ENOENT;
        return -1;
    }
    archivo_.reset();
    return 0;
}

// Closing never fails and works after the power cut too: it runs while the
// save unwinds.
int Disco::cerrar(int fd) {
    abiertos_.erase(fd);
    return 0;
}

} // namespace prueba
