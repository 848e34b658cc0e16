#include "store/lectura.h"

#include "store/apertura.h"
#include "store/fuentes.h"
#include "store/lector.h"

namespace store {
namespace {

// Runs a pass over fichas.dat; a pass without cards when it cannot be read.
// A read error is dropped here: see LeerFichas.
Pase SobreElArchivo(const std::function<Recorrido(const Fuente&, std::size_t)>& recorrer) {
    Archivos sistema;
    struct stat datos {};
    const int fd = AbrirParaLeer(sistema, datos);
    if (fd < 0) {
        return {};
    }
    CerrarAlSalir cerrar(sistema, fd); // closing also drops the lock
    return recorrer(DeDescriptor(sistema, fd), BloquePara(datos.st_size)).pase;
}

} // namespace

Pase LeerFichas(std::int64_t limite, Contador contador, const PasoPorFicha& paso) {
    return SobreElArchivo([&](const Fuente& fuente, std::size_t bloque) {
        return Recorrer(fuente, bloque, limite, contador, paso);
    });
}

Pase LeerFichasDe(std::string_view datos, std::int64_t limite, Contador contador,
                  const PasoPorFicha& paso) {
    return Recorrer(DeMemoria(datos), BloquePara(static_cast<off_t>(datos.size())), limite,
                    contador, paso)
        .pase;
}

std::int64_t SiguienteNumero() {
    return ReglaDelSiguiente(SobreElArchivo(PaseDelSiguiente));
}

std::int64_t SiguienteNumeroDe(std::string_view datos) {
    return ReglaDelSiguiente(
        PaseDelSiguiente(DeMemoria(datos), BloquePara(static_cast<off_t>(datos.size()))).pase);
}

} // namespace store
