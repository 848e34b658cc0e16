#include "store/ficha.h"

#include "store/archivos.h"
#include "store/lector.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace store {
namespace {

// Closes a descriptor on every way out, a throwing per-card step included.
class Cierre {
  public:
    Cierre(Archivos& archivos, int fd) : archivos_(archivos), fd_(fd) {}
    Cierre(const Cierre&) = delete;
    Cierre& operator=(const Cierre&) = delete;
    ~Cierre() { archivos_.cerrar(fd_); }

  private:
    Archivos& archivos_;
    int fd_;
};

// The first buffer: the whole of a small file, one block of a large one.
std::size_t BloquePara(off_t largo) {
    return static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(kBloque), largo + 1));
}

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

// Opens fichas.dat for reading under a shared lock; -1 when it cannot be
// read. Only a regular file is read: a device or a pipe could block or never end.
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

bool Bloquear(Archivos& archivos, int fd, int operacion) {
    while (archivos.bloquear(fd, operacion) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Opens fichas.dat for appending, creating it when missing, and locks it for
// the whole save. `creado` tells that this call made the file.
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

Error Fallo(int codigo) {
    if (codigo == 0) {
        codigo = EIO;
    }
    switch (codigo) {
    case EACCES:
    case EPERM:
        return {codigo, "No tiene permiso para escribir en fichas.dat."};
    case EROFS:
        return {codigo, "El disco es de solo lectura."};
    case ENOSPC:
    case EDQUOT:
        return {codigo, "No queda espacio en el disco."};
    case EISDIR:
        return {codigo, "fichas.dat es una carpeta."};
    case EIO:
        return {codigo, "Error de entrada o salida del disco."};
    default:
        return {codigo, std::strerror(codigo)};
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

void Anadir(std::string& linea, std::string_view texto) {
    linea += '"';
    for (std::size_t desde = 0;;) {
        const std::size_t comilla = texto.find('"', desde);
        if (comilla == std::string_view::npos) {
            linea.append(texto.substr(desde));
            break;
        }
        linea.append(texto.substr(desde, comilla + 1 - desde));
        linea += '"';
        desde = comilla + 1;
    }
    linea += '"';
}

// Runs a pass over fichas.dat; a pass without cards when it cannot be read.
Pase SobreElArchivo(const std::function<Recorrido(const Fuente&, std::size_t)>& recorrer) {
    Archivos sistema;
    struct stat datos {};
    const int fd = AbrirParaLeer(sistema, datos);
    if (fd < 0) {
        return {};
    }
    Cierre cierre(sistema, fd); // closing also drops the lock
    return recorrer(DeDescriptor(sistema, fd), BloquePara(datos.st_size)).pase;
}

} // namespace

Ficha Copiar(const VistaFicha& vista) {
    Ficha ficha;
    ficha.Numero = vista.Numero;
    for (int i = 0; i < 9; ++i) {
        ficha.*kCampos[i] = std::string(vista.*kCamposVista[i]);
    }
    return ficha;
}

std::string Linea(const Ficha& ficha) {
    std::size_t largo = 20 + 9 * 3 + 2;
    for (const auto campo : kCampos) {
        largo += (ficha.*campo).size();
    }
    std::string linea;
    linea.reserve(largo);
    char numero[24];
    const auto fin = std::to_chars(numero, numero + sizeof numero, ficha.Numero).ptr;
    linea.append(numero, fin);
    for (const auto campo : kCampos) {
        linea += ',';
        Anadir(linea, ficha.*campo);
    }
    linea += "\r\n";
    return linea;
}

Pase LeerFichas(std::int64_t limite, bool recordar, const PasoPorFicha& paso) {
    return SobreElArchivo([&](const Fuente& fuente, std::size_t bloque) {
        return Recorrer(fuente, bloque, limite, recordar, paso);
    });
}

Pase LeerFichasDe(std::string_view datos, std::int64_t limite, bool recordar,
                  const PasoPorFicha& paso) {
    const std::size_t bloque = std::min(kBloque, datos.size() + 1);
    return Recorrer(DeMemoria(datos), bloque, limite, recordar, paso).pase;
}

std::int64_t SiguienteNumero() {
    return NumeroSiguiente(SobreElArchivo(PaseDelSiguiente));
}

std::int64_t SiguienteNumeroDe(std::string_view datos) {
    return NumeroSiguiente(
        PaseDelSiguiente(DeMemoria(datos), std::min(kBloque, datos.size() + 1)).pase);
}

Error GuardarFichaCon(Archivos& archivos, Ficha& ficha) {
    bool creado = false;
    struct stat datos {};
    const int fd = AbrirParaGuardar(archivos, creado, datos);
    if (fd < 0) {
        return Fallo(errno);
    }
    Cierre cierre(archivos, fd); // outlives `fallar`: a removal happens under the lock
    const bool regular = S_ISREG(datos.st_mode);
    const off_t antes = regular ? datos.st_size : 0;
    const std::int64_t numero_antes = ficha.Numero;
    bool escrito = false;
    // Cuts the file back to what it held, so a failed save leaves no trace.
    const auto fallar = [&](int codigo) {
        if (escrito && regular) {
            archivos.truncar(fd, antes);
        }
        if (creado && antes == 0) {
            // Still locked: a save waiting on this file sees it unlinked and opens anew.
            archivos.borrar(kNombreArchivo);
        }
        ficha.Numero = numero_antes;
        return Fallo(codigo);
    };

    std::string linea;
    ficha.Numero = 1;
    if (regular) {
        const Recorrido r = PaseAntesDeGuardar(DeDescriptor(archivos, fd), BloquePara(antes));
        if (r.error != 0) {
            return fallar(r.error);
        }
        ficha.Numero = NumeroSiguiente(r.pase);
        // A save killed halfway left part of its line: that card is made whole
        // first, so that the new one is not read as the rest of it.
        linea = r.cierre;
        if (antes > 0 && linea.empty()) {
            char ultimo = 0;
            ssize_t n;
            do {
                n = archivos.leer(fd, &ultimo, 1, antes - 1);
            } while (n < 0 && errno == EINTR);
            if (n != 1) {
                return fallar(n < 0 ? errno : EIO);
            }
            if (ultimo != '\n' && ultimo != '\r') {
                linea = "\r\n"; // the new card starts on a line of its own
            }
        }
    }
    linea += Linea(ficha);

    escrito = true;
    for (std::size_t hecho = 0; hecho < linea.size();) {
        const ssize_t n = archivos.escribir(fd, linea.data() + hecho, linea.size() - hecho);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return fallar(n < 0 ? errno : EIO);
        }
        hecho += static_cast<std::size_t>(n);
    }
    // A failed sync is reported, never retried: the kernel may have dropped
    // the pages, so a second success would prove nothing.
    if (archivos.sincronizar(fd) < 0) {
        return fallar(errno);
    }
    // The first card makes the file's name durable too.
    if (regular && antes == 0 && !SincronizarCarpeta(archivos)) {
        return fallar(errno);
    }
    return {};
}

Error GuardarFicha(Ficha& ficha) {
    Archivos sistema;
    return GuardarFichaCon(sistema, ficha);
}

} // namespace store
