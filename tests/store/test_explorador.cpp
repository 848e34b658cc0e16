// The index that finds the items 64 bytes at a time must read every file
// exactly as the byte-by-byte scanner does, whatever classifies the bytes:
// cases where quote parity and the scanner's rules part, then random files
// made of the bytes that matter, read whole and in dribbles.

#include "store/estructura.h"
#include "store/lector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Cartas = std::vector<std::vector<std::string>>;

struct Resultado {
    Cartas cartas;
    std::int64_t contador = 0;
    bool operator==(const Resultado&) const = default;
};

// The pass over `datos` fed `tramo` bytes per read, from a first buffer of `bloque`.
Resultado Leer(store::Explorador explorador, const std::string& datos, std::size_t bloque,
               std::size_t tramo, std::int64_t limite = store::kLimitePaseDeLista) {
    store::ElegirExplorador(explorador);
    Resultado r;
    const auto fuente = [&](char* destino, std::size_t largo, std::int64_t desde) {
        const auto d = static_cast<std::size_t>(desde);
        const std::size_t n = d < datos.size() ? std::min({largo, tramo, datos.size() - d}) : 0;
        std::memcpy(destino, datos.data() + d, n);
        return static_cast<ssize_t>(n);
    };
    const store::Recorrido recorrido = store::Recorrer(
        fuente, bloque, limite, store::Contador::Olvidar, [&](const store::VistaFicha& f) {
            std::vector<std::string> carta{std::to_string(f.Numero)};
            for (const auto campo : store::kCamposVista) {
                carta.emplace_back(f.*campo);
            }
            r.cartas.push_back(std::move(carta));
            return store::Paso::Seguir;
        });
    store::ElegirExplorador(store::Explorador::Automatico);
    r.contador = recorrido.pase.contador;
    return r;
}

constexpr store::Explorador kIndices[] = {store::Explorador::Portatil, store::Explorador::Sse2,
                                          store::Explorador::Avx2, store::Explorador::Automatico};

void Comparar(const std::string& datos, std::size_t bloque, std::size_t tramo) {
    const Resultado esperado = Leer(store::Explorador::Escalar, datos, bloque, tramo);
    for (const auto explorador : kIndices) {
        ASSERT_EQ(Leer(explorador, datos, bloque, tramo), esperado)
            << "explorer " << static_cast<int>(explorador) << ", " << datos.size()
            << " bytes, block " << bloque << ", reads of " << tramo;
    }
}

std::string Repetir(const std::string& linea, int veces) {
    std::string s;
    for (int i = 0; i < veces; ++i) {
        s += linea;
    }
    return s;
}

// Lines where parity alone would read other items than the scanner: text
// after a closing quote, quotes inside an unquoted item, a quote opened after
// blanks, "" pairs at every place, blank lines and blanks where a card starts,
// CR, LF and CR LF, a card cut short at the end. Each is repeated so that it
// falls at every offset of a 64-byte word, among plain cards.
TEST(Explorador, CasesWhereQuoteParityAndTheScannerPartReadAsTheScannerDoes) {
    const std::string plana = "7,\"Título\",\"Autor\",\"Ed\",\"2001\",\"12\",\"1\",\"C\",\"T\","
                              "\"nota\"\r\n";
    const char* casos[] = {
        "1,\"a\"xy\"z,w\",\"b\",c,d,e,f,g,h,i\r\n",
        "2,ab\"c,\"d\"\"e\",f,g,h,i,j,k,l\r\n",
        "3,  \"a,b\"  ,\t\"c\"\"\",\"\"\"\",\"\",\" \"\" \",x,y,z,w\n",
        "4,\"a\" \"b,c\",d,e,f,g,h,i,j,k\r",
        "\r\n\r\n  \t\r\n5,a,b,c,d,e,f,g,h,i\r\n",
        "   6,a,b,c,d,e,f,g,h,i\n\n",
        "8,\"uno\r\ndos\",\"\"\"\"\"\",\"a\"\"\",b\r,c\n,d\r\n,e,f,g\r\n",
        "9,\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\"\r\n\n",
        "\"10\",\"x\"\"\",\"\"\"y\",\"z\"\"\"\"w\",a,b,c,d,e,f\r\n",
        "11,\"sin cerrar, todo\r\n12,\"esto\",\"es\",\"el\",\"mismo\",\"texto\"\r\n",
    };
    for (const char* caso : casos) {
        for (int desplazamiento = 0; desplazamiento < 64; desplazamiento += 7) {
            const std::string datos = std::string(static_cast<std::size_t>(desplazamiento), '\n') +
                                      Repetir(plana, 3) + Repetir(caso, 5) + Repetir(plana, 3);
            Comparar(datos, datos.size() + 1, datos.size());
            Comparar(datos, 16, 5);
            // Cut short at every 13th byte: the last card is read or not alike.
            for (std::size_t corte = 0; corte < datos.size(); corte += 13) {
                Comparar(datos.substr(0, corte), 64, 1000);
            }
        }
    }
}

// Random files of quotes, separators, blanks and a few letters, many of them
// plain cards with noise: the index must decline or agree, never differ.
TEST(Explorador, RandomFilesReadAsTheScannerReadsThem) {
    std::mt19937_64 azar(20240611);
    const std::string bytes = "\"\",,,\r\n \tab0123";
    for (int vuelta = 0; vuelta < 400; ++vuelta) {
        std::string datos;
        const int fichas = 1 + static_cast<int>(azar() % 40);
        const int ruido = static_cast<int>(azar() % 4); // 0: plain cards only
        for (int f = 0; f < fichas; ++f) {
            datos += std::to_string(f + 1);
            for (int i = 0; i < 9; ++i) {
                datos += ",\"";
                const int largo = static_cast<int>(azar() % 90);
                for (int k = 0; k < largo; ++k) {
                    const char c = static_cast<char>('a' + azar() % 26);
                    datos += c;
                    if (azar() % 40 == 0) {
                        datos += "\"\"";
                    }
                }
                datos += '"';
            }
            datos += "\r\n";
            // Noise over the card just written.
            for (int k = 0; k < ruido * 2; ++k) {
                const std::size_t en = azar() % datos.size();
                datos[en] = bytes[azar() % bytes.size()];
            }
        }
        Comparar(datos, datos.size() + 1, datos.size());
        Comparar(datos, 1 + azar() % 300, 1 + azar() % 200);
    }
}

// A limit or a step that ends the pass ends it at the same card.
TEST(Explorador, StopsAtTheSameCard) {
    std::string datos;
    for (int i = 1; i <= 300; ++i) {
        datos += std::to_string(i) + ",\"t\",\"a\",\"e\",\"f\",\"p\",\"c\",\"x\",\"m\",\"n\"\r\n";
    }
    for (const std::int64_t limite : {1, 2, 50, 299, 300, 301}) {
        const Resultado esperado =
            Leer(store::Explorador::Escalar, datos, datos.size() + 1, datos.size(), limite);
        for (const auto explorador : kIndices) {
            EXPECT_EQ(Leer(explorador, datos, datos.size() + 1, datos.size(), limite), esperado);
        }
    }
}

} // namespace
