#include "store/apertura.h"

#include "store/ficha.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>

namespace store {
namespace {

bool Bloquear(Archivos& archivos, int fd, int operacion) {
    while (archivos.bloquear(fd, operacion) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

} // namespace

int AbrirParaLeer(Archivos& archivos, struct stat& datos) {
    int fd;
    do {
        fd = archivos.abrir(kNombreArchivo, O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    if (archivos.estado(fd, datos) < 0 || !S_ISREG(datos.st_mode)) {
        archivos.cerrar(fd);
        return -1;
    }
    // A pass that cannot lock still reads: it only risks seeing a card half written.
    while (archivos.bloquear(fd, LOCK_SH) < 0 && errno == EINTR) {
    }
    return fd;
}

int AbrirParaGuardar(Archivos& archivos, bool& creado, struct stat& datos) {
    // O_RDWR: the next number is read through the same locked descriptor.
    // O_NONBLOCK: opening a named pipe must not wait for a reader.
    constexpr int kModo = O_RDWR | O_APPEND | O_CLOEXEC | O_NONBLOCK;
    for (;;) {
        creado = false;
        int fd = archivos.abrir(kNombreArchivo, kModo, 0);
        if (fd < 0 && errno == ENOENT) {
            fd = archivos.abrir(kNombreArchivo, kModo | O_CREAT | O_EXCL, 0666);
            creado = fd >= 0;
            if (fd < 0 && errno == EEXIST) {
                // Another save made it first, or the name is a dangling link.
                fd = archivos.abrir(kNombreArchivo, kModo | O_CREAT, 0666);
            }
        }
        if (fd < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (!Bloquear(archivos, fd, LOCK_EX) || archivos.estado(fd, datos) < 0) {
            const int e = errno;
            archivos.cerrar(fd);
            errno = e;
            return -1;
        }
        if (S_ISREG(datos.st_mode) && datos.st_nlink == 0) {
            // A failed save removed the file it had made while this one waited.
            archivos.cerrar(fd);
            continue;
        }
        return fd;
    }
}

bool SincronizarCarpeta(Archivos& archivos) {
    int fd;
    do {
        fd = archivos.abrir(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    const bool bien = archivos.sincronizar(fd) == 0;
    const int e = errno;
    archivos.cerrar(fd);
    errno = e;
    return bien;
}

} // namespace store
