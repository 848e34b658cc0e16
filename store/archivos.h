#pragma once
// The system calls of a save, behind one small interface so that tests can
// make any of them fail. Each member behaves like the POSIX call it names:
// same result, errno set the same way. The base class is the real thing.

#include <cstddef>
#include <sys/stat.h>
#include <sys/types.h>

namespace store {

struct Archivos {
    virtual ~Archivos() = default;
    virtual int abrir(const char* nombre, int modo, mode_t permisos);
    virtual int bloquear(int fd, int operacion);
    virtual int estado(int fd, struct stat& datos);
    virtual ssize_t leer(int fd, void* destino, std::size_t largo, off_t desde);
    virtual ssize_t escribir(int fd, const void* datos, std::size_t largo);
    virtual int sincronizar(int fd);
    virtual int truncar(int fd, off_t largo);
    virtual int borrar(const char* nombre);
    virtual int cerrar(int fd);
};

} // namespace store
