#include "store/guardar.h"

#include "store/apertura.h"
#include "store/archivos.h"
#include "store/fuentes.h"
#include "store/lector.h"
#include "store/linea.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace store {

Error GuardarFichaCon(Archivos& archivos, Ficha& ficha) {
    bool creado = false;
    struct stat datos {};
    const int fd = AbrirParaGuardar(archivos, creado, datos);
    if (fd < 0) {
        return ErrorDe(errno);
    }
    CerrarAlSalir cerrar(archivos, fd); // outlives `fallar`: a removal happens under the lock
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
        return ErrorDe(codigo);
    };

    std::string linea;
    ficha.Numero = 1;
    if (regular) {
        const Recorrido r = PaseAntesDeGuardar(DeDescriptor(archivos, fd), BloquePara(antes));
        // Unlike the other passes, the save stops at a read error: the next
        // number would follow only the cards it could read.
        if (r.error != 0) {
            return fallar(r.error);
        }
        ficha.Numero = ReglaDelSiguiente(r.pase);
        // A save killed halfway left part of its line: that card is made whole
        // first, so that the new one is not read as the rest of it.
        linea = r.remate;
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
