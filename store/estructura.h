#pragma once
// The fast path of the reading pass: an index of where each item of the
// cards ends, found 64 bytes at a time, from which whole cards are cut with
// no byte-by-byte search. It reads a card only when the result is provably
// the one the byte-by-byte scanner gives; otherwise it declines and the
// scanner reads that card.

#include "store/ficha.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace store {

// How the bytes are classified. Automatico takes the widest the processor has.
enum class Explorador { Automatico, Escalar, Portatil, Sse2, Avx2 };

// For tests and benchmarks: the explorer used by later passes. Escalar turns
// the index off (every card read byte by byte); Portatil classifies with plain
// C++. A choice the processor cannot run falls back to Automatico.
void ElegirExplorador(Explorador explorador);
// The one in use.
Explorador ExploradorActual();

// Bytes the buffer must hold after the data, readable, so that a whole
// 64-byte word can be loaded at the end.
inline constexpr std::size_t kRellenoIndice = 64;

// One item of a card in the buffer: its text is [desde, hasta).
struct Campo {
    char* desde = nullptr;
    char* hasta = nullptr;
    bool dobles = false; // may hold doubled quotes still to be undone
};

// Turns each "" of [desde, hasta) into one " and returns the new end. Every
// quote in the range is the first of such a pair.
char* Desdoblar(char* desde, char* hasta);

// What the index carries from one 64-byte word to the next.
struct EstadoIndice {
    std::uint64_t dentro = 0;  // all ones when the last word ended inside quotes
    std::uint64_t cr = 0;      // 1: it ended with a CR that ends an item
    std::uint64_t inicio = 1;  // 1: the next byte starts an item
    std::uint64_t acarreo = 0; // 1: an item's leading blanks run on
};

class Indice {
  public:
    Indice();

    // Cuts the card starting at `cursor` in [cursor, fin) into its ten items,
    // as the scanner would, and moves `cursor` past it. False, with nothing
    // changed, when the card is not plain enough or not whole in the buffer.
    bool Leer(char*& cursor, char* fin, Campo (&campos)[10]);

    // The buffer changed (moved, refilled, grown): start afresh.
    void Olvidar() { siguiente_ = nullptr; }

    // Marks in [desde, hasta) written to `salida`; returns how many.
    using Construir = std::size_t (*)(char* desde, char* hasta, EstadoIndice& estado,
                                      char** salida);

  private:
    void Empezar(char* desde);
    bool Extender(char* fin);

    Construir construir_;
    std::vector<char*> marcas_; // item ends, and quotes that need a look
    std::size_t leida_ = 0, total_ = 0;
    char* hecho_ = nullptr;     // the index covers up to here
    char* siguiente_ = nullptr; // where the next card starts, as the index knows it
    std::size_t ventana_ = 0;   // bytes indexed at a time; grows while cards read well
    EstadoIndice estado_;
};

} // namespace store
