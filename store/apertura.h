#pragma once
// Opening and locking fichas.dat for a pass or a save, and closing it on
// every way out.

#include "store/archivos.h"

#include <sys/stat.h>

namespace store {

// Closes a descriptor on every way out, a throwing per-card step included.
class CerrarAlSalir {
  public:
    CerrarAlSalir(Archivos& archivos, int fd) : archivos_(archivos), fd_(fd) {}
    CerrarAlSalir(const CerrarAlSalir&) = delete;
    CerrarAlSalir& operator=(const CerrarAlSalir&) = delete;
    ~CerrarAlSalir() { archivos_.cerrar(fd_); }

  private:
    Archivos& archivos_;
    int fd_;
};

// Opens fichas.dat for reading under a shared lock; -1 when it cannot be
// read. Only a regular file is read: a device or a pipe could block or never end.
int AbrirParaLeer(Archivos& archivos, struct stat& datos);

// Opens fichas.dat for appending, creating it when missing, and locks it for
// the whole save. `creado` tells that this call made the file. -1 with errno
// set on failure.
int AbrirParaGuardar(Archivos& archivos, bool& creado, struct stat& datos);

// Syncs the current directory, so that a file just made there stays; false
// with errno set on failure.
bool SincronizarCarpeta(Archivos& archivos);

} // namespace store
