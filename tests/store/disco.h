#pragma once
// A disk in memory behind the calls of a save, with a power cut: what was
// written stays in the cache until it is synced, and a crash keeps only what
// was synced. It holds the current directory and the one file fichas.dat.
// No test framework here: the fuzzer uses it too.

#include "store/archivos.h"

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace prueba {

// Thrown by every call once the power is cut: the save stops where it stands.
struct Apagon {};

class Disco : public store::Archivos {
  public:
    // An empty directory, or one whose fichas.dat already holds `bytes`, synced.
    Disco() = default;
    explicit Disco(std::string bytes);

    // Cuts the power during the call after the next `llamadas` ones.
    void CortarTras(int llamadas) { quedan_ = llamadas; }
    bool cortado() const { return cortado_; }

    // The machine comes back: the directory and the file are as last synced,
    // plus the first `sobrevive` bytes of what had been appended and not yet
    // synced, as a disk that had written part of it. Descriptors are gone.
    void Reiniciar(std::size_t sobrevive = 0);

    // fichas.dat now; empty when there is none.
    std::optional<std::string> Archivo() const;
    // Bytes appended but not yet synced.
    std::size_t Pendientes() const;

    int abrir(const char* nombre, int modo, mode_t permisos) override;
    int bloquear(int fd, int operacion) override;
    int estado(int fd, struct stat& datos) override;
    ssize_t leer(int fd, void* destino, std::size_t largo, off_t desde) override;
    ssize_t escribir(int fd, const void* datos, std::size_t largo) override;
    int sincronizar(int fd) override;
    int truncar(int fd, off_t largo) override;
    int borrar(const char* nombre) override;
    int cerrar(int fd) override;

  private:
    struct Nodo {
        std::string datos;        // what a read sees
        std::string sincronizado; // what survives a crash
    };
    struct Abierto {
        std::shared_ptr<Nodo> nodo; // null for the directory
    };
    void Llamada();
    Abierto* Buscar(int fd);

    std::shared_ptr<Nodo> archivo_;              // the name now
    std::shared_ptr<Nodo> archivo_sincronizado_; // the name as the directory was last synced
    std::map<int, Abierto> abiertos_;
    int siguiente_fd_ = 100;
    int quedan_ = -1;
    bool cortado_ = false;
};

} // namespace prueba
