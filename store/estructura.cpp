// Written by hand for speed: the byte-by-byte scanner spends most of a pass
// deciding, byte after byte, whether a comma or a line end ends an item. Here
// each 64-byte word becomes bit masks (quotes, commas, CR, LF, blanks) and
// the quoted stretches are found for all 64 bytes at once with a prefix XOR
// of the quote mask, which leaves the separators outside quotes: the ends of
// the items.
//
// The scanner's rules are looser than quote parity: text after a closing
// quote is skipped up to the next separator, and a quote inside an unquoted
// item is an ordinary byte. Both agree exactly when, in every item, each
// quote that opens a quoted stretch is either the item's first byte after
// its blanks or the second quote of a "" pair. Any other opening quote is
// marked and the card goes to the scanner, as does a card that starts with a
// blank or a line end (empty lines are skipped there) or is not whole in the
// buffer.

#include "store/estructura.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define FOLIOTECA_X86 1
#endif

namespace store {
namespace {

// One bit per byte of a 64-byte word, bit i for byte i.
struct Mascaras {
    std::uint64_t comillas, comas, cr, lf, blancos;
};

Mascaras ClasificarPortatil(const char* p) {
    Mascaras m{};
    for (unsigned i = 0; i < 64; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        switch (p[i]) {
        case '"':
            m.comillas |= bit;
            break;
        case ',':
            m.comas |= bit;
            break;
        case '\r':
            m.cr |= bit;
            break;
        case '\n':
            m.lf |= bit;
            break;
        case ' ':
        case '\t':
            m.blancos |= bit;
            break;
        default:
            break;
        }
    }
    return m;
}

#ifdef FOLIOTECA_X86
inline std::uint64_t Bits16(__m128i a, __m128i b, __m128i c, __m128i d) {
    const auto m = [](__m128i x) {
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x)));
    };
    return m(a) | m(b) << 16 | m(c) << 32 | m(d) << 48;
}

inline Mascaras ClasificarSse2(const char* p) {
    const auto cargar = [p](int k) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    };
    const __m128i v0 = cargar(0), v1 = cargar(1), v2 = cargar(2), v3 = cargar(3);
    const auto igual = [&](char c) {
        const __m128i x = _mm_set1_epi8(c);
        return Bits16(_mm_cmpeq_epi8(v0, x), _mm_cmpeq_epi8(v1, x), _mm_cmpeq_epi8(v2, x),
                      _mm_cmpeq_epi8(v3, x));
    };
    return {igual('"'), igual(','), igual('\r'), igual('\n'), igual(' ') | igual('\t')};
}

__attribute__((target("avx2"))) inline std::uint64_t Bits32(__m256i a, __m256i b) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(a))) |
           static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(b))) << 32;
}

__attribute__((target("avx2"))) inline Mascaras ClasificarAvx2(const char* p) {
    const __m256i v0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const auto igual = [&](char c) __attribute__((target("avx2"))) {
        const __m256i x = _mm256_set1_epi8(c);
        return Bits32(_mm256_cmpeq_epi8(v0, x), _mm256_cmpeq_epi8(v1, x));
    };
    return {igual('"'), igual(','), igual('\r'), igual('\n'), igual(' ') | igual('\t')};
}
#endif

// Bit i of the result is the XOR of bits 0 to i: 1 inside quotes.
inline std::uint64_t PrefijoXor(std::uint64_t x) {
    x ^= x << 1;
    x ^= x << 2;
    x ^= x << 4;
    x ^= x << 8;
    x ^= x << 16;
    x ^= x << 32;
    return x;
}

// The index of [desde, hasta): the item ends (separators outside quotes, the
// LF of a CR LF left out) and the opening quotes that are not the first byte
// of an item, in order. Reads whole words: up to 63 bytes past `hasta`.
template <Mascaras (*Clasificar)(const char*)>
inline std::size_t ConstruirCon(char* desde, char* hasta, EstadoIndice& estado, char** salida) {
    EstadoIndice e = estado;
    char** w = salida;
    for (char* p = desde; p < hasta; p += 64) {
        const auto n = static_cast<std::size_t>(hasta - p);
        const std::uint64_t valido = n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
        const Mascaras m = Clasificar(p);
        const std::uint64_t comillas = m.comillas & valido;
        const std::uint64_t cr = m.cr & valido, lf = m.lf & valido;
        const std::uint64_t separadores = (m.comas | cr | lf) & valido;

        const std::uint64_t dentro = PrefijoXor(comillas) ^ e.dentro;
        e.dentro = static_cast<std::uint64_t>(static_cast<std::int64_t>(dentro) >> 63);
        const std::uint64_t abre = comillas & dentro;

        const std::uint64_t fuera = separadores & ~dentro;
        const std::uint64_t cr_fin = fuera & cr;
        const std::uint64_t lf_de_crlf = lf & (cr_fin << 1 | e.cr);
        e.cr = cr_fin >> 63;
        const std::uint64_t finales = fuera & ~lf_de_crlf;

        // The first byte after the leading blanks of each item: adding the
        // item's first bit to the blanks carries it past them.
        const std::uint64_t blancos = (m.blancos & valido) | lf_de_crlf;
        const std::uint64_t inicios = finales << 1 | e.inicio;
        e.inicio = finales >> 63;
        std::uint64_t suma;
        std::uint64_t acarreo = __builtin_add_overflow(blancos, inicios, &suma) ? 1 : 0;
        acarreo |= __builtin_add_overflow(suma, e.acarreo, &suma) ? 1 : 0;
        e.acarreo = acarreo;
        const std::uint64_t primeros = suma & ~blancos;

        // Openings other than an item's first byte: the second quote of a ""
        // pair (the byte before it is a quote: it closed), which tells that the
        // card has quotes to undo, or one the rule does not allow.
        std::uint64_t marcas = finales | (abre & ~primeros);
        // Eight positions written whether there are or not (a word holds four
        // or five item ends): fewer mispredicted branches than one per mark.
        const int cuantas = std::popcount(marcas);
        for (int i = 0; i < 8; ++i) {
            w[i] = p + std::countr_zero(marcas);
            marcas &= marcas - 1;
        }
        for (int i = 8; i < cuantas; ++i) {
            w[i] = p + std::countr_zero(marcas);
            marcas &= marcas - 1;
        }
        w += cuantas;
    }
    estado = e;
    return static_cast<std::size_t>(w - salida);
}

std::size_t ConstruirPortatil(char* desde, char* hasta, EstadoIndice& e, char** salida) {
    return ConstruirCon<ClasificarPortatil>(desde, hasta, e, salida);
}

#ifdef FOLIOTECA_X86
std::size_t ConstruirSse2(char* desde, char* hasta, EstadoIndice& e, char** salida) {
    return ConstruirCon<ClasificarSse2>(desde, hasta, e, salida);
}

__attribute__((target("avx2"), flatten)) std::size_t ConstruirAvx2(char* desde, char* hasta,
                                                                   EstadoIndice& e, char** salida) {
    return ConstruirCon<ClasificarAvx2>(desde, hasta, e, salida);
}

bool HayAvx2() {
    return __builtin_cpu_supports("avx2");
}
#endif

std::atomic<Explorador> elegido{Explorador::Automatico};

Indice::Construir ConstructorPara(Explorador x) {
    switch (x) {
    case Explorador::Escalar:
        return nullptr;
    case Explorador::Portatil:
        return ConstruirPortatil;
#ifdef FOLIOTECA_X86
    case Explorador::Sse2:
        return ConstruirSse2;
    case Explorador::Avx2:
        return HayAvx2() ? ConstruirAvx2 : ConstruirSse2;
    case Explorador::Automatico:
        return HayAvx2() ? ConstruirAvx2 : ConstruirSse2;
#else
    default:
        return ConstruirPortatil;
#endif
    }
    return ConstruirPortatil;
}

// The first window after a card the scanner read is small, so that a file
// where many cards need the scanner does not pay for indexing far ahead.
constexpr std::size_t kVentanaMinima = 256;
constexpr std::size_t kVentanaMaxima = 4096;

bool EsBlanco(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

void ElegirExplorador(Explorador explorador) {
#ifdef FOLIOTECA_X86
    if (explorador == Explorador::Avx2 && !HayAvx2()) {
        explorador = Explorador::Automatico;
    }
#else
    if (explorador == Explorador::Sse2 || explorador == Explorador::Avx2) {
        explorador = Explorador::Automatico;
    }
#endif
    elegido.store(explorador, std::memory_order_relaxed);
}

Explorador ExploradorActual() {
    return elegido.load(std::memory_order_relaxed);
}

char* Desdoblar(char* desde, char* hasta) {
    char* w = static_cast<char*>(std::memchr(desde, '"', static_cast<std::size_t>(hasta - desde)));
    if (w == nullptr) {
        return hasta;
    }
    char* r = w;
    while (r < hasta) {
        *w++ = '"';
        r += 2;
        char* q = static_cast<char*>(std::memchr(r, '"', static_cast<std::size_t>(hasta - r)));
        char* tramo = q != nullptr ? q : hasta;
        std::memmove(w, r, static_cast<std::size_t>(tramo - r));
        w += tramo - r;
        r = tramo;
    }
    return w;
}

Indice::Indice() : construir_(ConstructorPara(ExploradorActual())), marcas_(kVentanaMaxima + 8) {}

void Indice::Empezar(char* desde) {
    estado_ = {};
    hecho_ = desde;
    siguiente_ = desde;
    leida_ = total_ = 0;
    ventana_ = kVentanaMinima;
}

bool Indice::Extender(char* fin) {
    if (hecho_ >= fin) {
        return false;
    }
    char* hasta = hecho_ + std::min(ventana_, static_cast<std::size_t>(fin - hecho_));
    total_ = construir_(hecho_, hasta, estado_, marcas_.data());
    leida_ = 0;
    hecho_ = hasta;
    ventana_ = std::min(ventana_ * 2, kVentanaMaxima);
    return true;
}

bool Indice::Leer(char*& cursor, char* fin, Campo (&campos)[10]) {
    char* c = cursor;
    if (construir_ == nullptr || c >= fin) {
        return false;
    }
    if (c != siguiente_) {
        Empezar(c);
    }
    // Blanks or a line end where a card starts: maybe an empty line, which the
    // scanner skips.
    if (EsBlanco(*c) || *c == '\r' || *c == '\n') {
        Olvidar();
        return false;
    }
    bool dobles = false;
    char* a = c; // start of the item
    for (Campo& campo : campos) {
        char* s;
        for (;;) {
            while (leida_ == total_) {
                if (!Extender(fin)) {
                    Olvidar();
                    return false;
                }
            }
            s = marcas_[leida_++];
            if (*s != '"') {
                break;
            }
            if (s[-1] != '"') {
                Olvidar(); // a quote the scanner reads otherwise
                return false;
            }
            dobles = true;
        }
        char* p = a;
        while (EsBlanco(*p)) {
            ++p;
        }
        if (*p == '"') {
            // The closing quote is the last one before the separator; what
            // follows it is skipped.
            char* l = s - 1;
            while (*l != '"') {
                --l;
            }
            campo.desde = p + 1;
            campo.hasta = l;
        } else {
            char* h = s;
            while (h > p && EsBlanco(h[-1])) {
                --h;
            }
            campo.desde = p;
            campo.hasta = h;
        }
        campo.dobles = false;
        a = s + 1;
        if (*s == '\r' && a < fin && *a == '\n') {
            ++a;
        }
    }
    if (dobles) {
        // Only the quoted items (their text follows a quote) are looked at.
        for (Campo& campo : campos) {
            campo.dobles = campo.desde > c && campo.desde[-1] == '"';
        }
    }
    cursor = a;
    siguiente_ = a;
    return true;
}

} // namespace store
