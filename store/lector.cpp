// The scanner is written by hand rather than with streams or a general CSV
// library: a pass over a million cards must take a fraction of a second, so
// it scans a buffer it owns word by word, unescapes in place and hands out
// views, with no allocation per card.

#include "store/lector.h"

#include "store/estructura.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace store {
namespace {

// Cards whose number does not fit are held at this size, far beyond any
// limit, so that the counter can always go up by one.
constexpr std::int64_t kTope = 1000000000000000000;

enum class Corte {
    Ficha,  // a whole card was read
    Faltan, // the card may go on past the bytes at hand
    Fin,    // the data ran out before the card was whole
};

bool EsBlanco(char c) {
    return c == ' ' || c == '\t';
}

// Bytes kept after the data, zeroed after each read, so that a word can be
// loaded at the end of the data.
constexpr std::size_t kRelleno = kRellenoIndice;

// The first quote in [p, fin), or fin. Most texts are a few bytes long, where
// a call to memchr costs more than the search: look a word at a time inline.
// Reads up to kRelleno - 1 bytes past fin.
char* BuscarComilla(char* p, char* fin) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kUnos = 0x0101010101010101;
        constexpr std::uint64_t kAltos = 0x8080808080808080;
        for (; p < fin; p += 8) {
            std::uint64_t palabra;
            std::memcpy(&palabra, p, 8);
            const std::uint64_t x = palabra ^ (kUnos * '"');
            // The lowest byte flagged here is the first quote.
            const std::uint64_t t = (x - kUnos) & ~x & kAltos;
            if (t != 0) {
                return std::min(p + (std::countr_zero(t) >> 3), fin);
            }
        }
        return fin;
    } else {
        char* q = static_cast<char*>(std::memchr(p, '"', static_cast<std::size_t>(fin - p)));
        return q != nullptr ? q : fin;
    }
}

// The first comma or line end in [p, fin), or fin.
template <class Caracter> Caracter* HastaSeparador(Caracter* p, Caracter* fin) {
    while (p < fin && *p != ',' && *p != '\n' && *p != '\r') {
        ++p;
    }
    return p;
}

// A whole number with an optional sign, blanks around it allowed; anything
// else, and the empty item, is 0.
std::int64_t Numero(const char* p, const char* fin) {
    while (p < fin && EsBlanco(*p)) {
        ++p;
    }
    while (fin > p && EsBlanco(fin[-1])) {
        --fin;
    }
    bool negativo = false;
    if (p < fin && (*p == '+' || *p == '-')) {
        negativo = *p == '-';
        ++p;
    }
    if (p == fin) {
        return 0;
    }
    std::int64_t n = 0;
    for (; p < fin; ++p) {
        const unsigned cifra = static_cast<unsigned char>(*p) - unsigned{'0'};
        if (cifra > 9) {
            return 0;
        }
        n = n > (kTope - cifra) / 10 ? kTope : n * 10 + cifra;
    }
    return negativo ? -n : n;
}

// The card's texts from its items: quotes undone in place, views handed out.
void Entregar(Campo (&campos)[10], VistaFicha& ficha) {
    ficha.Numero = Numero(campos[0].desde, campos[0].hasta);
    for (int i = 0; i < 9; ++i) {
        Campo& c = campos[i + 1];
        if (c.dobles) {
            c.hasta = Desdoblar(c.desde, c.hasta);
        }
        ficha.*kCamposVista[i] =
            std::string_view(c.desde, static_cast<std::size_t>(c.hasta - c.desde));
    }
}

// Reads one card from [cursor, fin). `final` tells that no bytes follow fin.
// Nothing is changed in the buffer unless the whole card is there, so that a
// card can be read again from its start after more bytes arrive. On return,
// cursor is past the card (Ficha) or where the card starts (Faltan).
Corte LeerFicha(char*& cursor, char* fin, bool final, VistaFicha& ficha) {
    char* p = cursor;
    // Where a card begins, empty lines and lines of blanks are skipped: a text
    // editor often leaves one at the end of the file.
    for (;;) {
        while (p < fin && EsBlanco(*p)) {
            ++p;
        }
        if (p == fin) {
            cursor = p;
            return final ? Corte::Fin : Corte::Faltan;
        }
        if (*p != '\n' && *p != '\r') {
            break;
        }
        ++p; // the LF of a CR LF is then one more empty line
    }
    cursor = p;
    const Corte faltan = final ? Corte::Fin : Corte::Faltan;
    Campo campos[10];
    for (Campo& c : campos) {
        while (p < fin && EsBlanco(*p)) {
            ++p;
        }
        if (p == fin) {
            return faltan;
        }
        char* separador;
        if (*p == '"') {
            c.desde = ++p;
            for (;;) {
                char* q = BuscarComilla(p, fin);
                if (q == fin) {
                    return faltan;
                }
                if (q + 1 < fin && q[1] == '"') {
                    c.dobles = true;
                    p = q + 2;
                    continue;
                }
                c.hasta = q;
                p = q + 1;
                break;
            }
            separador = HastaSeparador(p, fin); // what follows the closing quote is skipped
        } else {
            c.desde = p;
            separador = HastaSeparador(p, fin);
            c.hasta = separador;
            while (c.hasta > c.desde && EsBlanco(c.hasta[-1])) {
                --c.hasta;
            }
        }
        if (separador == fin) {
            if (!final) {
                return Corte::Faltan;
            }
            p = fin; // the end of the data ends the item
            continue;
        }
        // A quote or a CR last in the buffer needs no look-ahead: what must follow
        // is missing, so the card is read again once more bytes are in. Only an LF
        // after the last item may come later, and a card start skips it.
        p = separador + 1;
        if (*separador == '\r' && p < fin && *p == '\n') {
            ++p;
        }
    }
    Entregar(campos, ficha);
    cursor = p;
    return Corte::Ficha;
}

// What makes whole the card cut short in [p, fin), as LeerFicha reads it when
// no bytes follow: the open quote closed, the items not reached given empty,
// then CR LF. A number cut short gets its missing digits from `numero`, the
// number the card was written with. Empty when [p, fin) holds a whole card.
std::string Remate(const char* p, const char* fin, std::int64_t numero) {
    std::string remate;
    int item = 0;
    for (;; ++item) {
        if (item == 10) {
            return {};
        }
        while (p < fin && EsBlanco(*p)) {
            ++p;
        }
        if (p == fin) {
            remate = "\"\""; // the item not begun
            break;
        }
        const char* separador;
        if (*p == '"') {
            const char* q = p + 1;
            for (;;) {
                q = static_cast<const char*>(
                    std::memchr(q, '"', static_cast<std::size_t>(fin - q)));
                if (q == nullptr || q + 1 == fin || q[1] != '"') {
                    break;
                }
                q += 2;
                if (q == fin) {
                    q = nullptr;
                    break;
                }
            }
            if (q == nullptr) {
                remate = "\""; // closes the text
                break;
            }
            separador = HastaSeparador(q + 1, fin);
        } else {
            separador = HastaSeparador(p, fin);
            if (item == 0 && separador == fin) {
                const std::string cifras = std::to_string(numero);
                const std::string_view hecho(p, static_cast<std::size_t>(fin - p));
                if (hecho.size() < cifras.size() && cifras.starts_with(hecho)) {
                    remate = cifras.substr(hecho.size());
                }
            }
        }
        if (separador == fin) {
            break; // the item is whole; its separator is missing
        }
        p = separador + 1;
        if (*separador == '\r' && p < fin && *p == '\n') {
            ++p;
        }
    }
    while (++item < 10) {
        remate += ",\"\"";
    }
    return remate + "\r\n";
}

} // namespace

Recorrido Recorrer(const Fuente& fuente, std::size_t bloque, std::int64_t limite,
                   Contador contador_pedido, const PasoPorFicha& paso, bool rematar) {
    const bool recordar = contador_pedido == Contador::Recordar;
    Recorrido r;
    r.pase.abierto = true;
    std::int64_t& contador = r.pase.contador;
    contador = 1;

    std::size_t capacidad = std::max<std::size_t>(bloque, 1);
    auto buffer = std::make_unique_for_overwrite<char[]>(capacidad + kRelleno);
    std::size_t inicio = 0; // first unread byte
    std::size_t tam = 0;    // bytes in the buffer
    std::int64_t leidos = 0;
    bool final = false;
    bool terminado = false; // the pass is over; only `rematar` scans on
    VistaFicha ficha;
    Indice indice;
    Campo campos[10];
    // Keeps the unread bytes, moved to the front, with room for `mas` behind them.
    const auto hacer_sitio = [&](std::size_t mas) {
        const std::size_t resto = tam - inicio;
        if (resto + mas > capacidad) {
            capacidad = std::max(capacidad * 2, resto + mas);
            auto mayor = std::make_unique_for_overwrite<char[]>(capacidad + kRelleno);
            std::memcpy(mayor.get(), buffer.get() + inicio, resto);
            buffer = std::move(mayor);
        } else if (inicio > 0) {
            std::memmove(buffer.get(), buffer.get() + inicio, resto);
        }
        inicio = 0;
        tam = resto;
        indice.Olvidar();
    };
    for (;;) {
        if (recordar && !terminado) {
            r.pase.recordado = contador;
        }
        char* cursor = buffer.get() + inicio;
        char* const fin = buffer.get() + tam;
        Corte corte;
        if (indice.Leer(cursor, fin, campos)) {
            Entregar(campos, ficha);
            corte = Corte::Ficha;
        } else {
            corte = LeerFicha(cursor, fin, final, ficha);
        }
        inicio = static_cast<std::size_t>(cursor - buffer.get());
        if (corte == Corte::Fin) {
            if (!rematar || inicio == tam || !r.remate.empty()) {
                break;
            }
            r.remate = Remate(buffer.get() + inicio, buffer.get() + tam,
                              r.pase.recordado.value_or(contador));
            if (r.remate.empty()) {
                break;
            }
            // Read the card again as it will be.
            hacer_sitio(r.remate.size());
            std::memcpy(buffer.get() + tam, r.remate.data(), r.remate.size());
            tam += r.remate.size();
            std::memset(buffer.get() + tam, 0, kRelleno);
            indice.Olvidar();
            continue;
        }
        if (corte == Corte::Ficha) {
            if (terminado) {
                continue;
            }
            contador = ficha.Numero;
            if (paso(ficha) == Paso::Terminar || ++contador > limite) {
                terminado = true;
                if (!rematar) {
                    break;
                }
            }
            continue;
        }
        // Keep the start of the card, make room behind it and read on.
        hacer_sitio(1);
        ssize_t n;
        do {
            n = fuente(buffer.get() + tam, capacidad - tam, leidos);
        } while (n < 0 && errno == EINTR);
        if (n < 0) {
            r.error = errno != 0 ? errno : EIO;
            break;
        }
        final = n == 0;
        tam += static_cast<std::size_t>(n);
        std::memset(buffer.get() + tam, 0, kRelleno);
        indice.Olvidar();
        leidos += n;
    }
    return r;
}

namespace {

// The next-number rule's step: a card numbered below 1 ends the pass.
Paso HastaUnNumeroBajo(const VistaFicha& ficha) {
    return ficha.Numero < 1 ? Paso::Terminar : Paso::Seguir;
}

} // namespace

Recorrido PaseDelSiguiente(const Fuente& fuente, std::size_t bloque) {
    return Recorrer(fuente, bloque, kLimitePaseDeNumero, Contador::Recordar, HastaUnNumeroBajo);
}

Recorrido PaseAntesDeGuardar(const Fuente& fuente, std::size_t bloque) {
    return Recorrer(fuente, bloque, kLimitePaseDeNumero, Contador::Recordar, HastaUnNumeroBajo,
                    true);
}

std::int64_t ReglaDelSiguiente(const Pase& pase) {
    // Empty exactly when no card was attempted because the file could not be opened.
    if (!pase.recordado || *pase.recordado == 0) {
        return 1;
    }
    return *pase.recordado;
}

} // namespace store
