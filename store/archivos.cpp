#include "store/archivos.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace store {

int Archivos::abrir(const char* nombre, int modo, mode_t permisos) {
    return ::open(nombre, modo, permisos);
}
int Archivos::bloquear(int fd, int operacion) {
    return ::flock(fd, operacion);
}
int Archivos::estado(int fd, struct stat& datos) {
    return ::fstat(fd, &datos);
}
ssize_t Archivos::leer(int fd, void* destino, std::size_t largo, off_t desde) {
    return ::pread(fd, destino, largo, desde);
}
ssize_t Archivos::escribir(int fd, const void* datos, std::size_t largo) {
    return ::write(fd, datos, largo);
}
int Archivos::sincronizar(int fd) {
    return ::fsync(fd);
}
int Archivos::truncar(int fd, off_t largo) {
    return ::ftruncate(fd, largo);
}
int Archivos::borrar(const char* nombre) {
    return ::unlink(nombre);
}
int Archivos::cerrar(int fd) {
    return ::close(fd);
}

} // namespace store
