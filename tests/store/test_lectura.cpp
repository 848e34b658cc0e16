// Reading passes: the next-number rule, the counter, and every kind of input
// a reader may meet, including files the program never writes.

#include "tests/soporte/fichas.h"

#include "store/lector.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;
using prueba::Fila;
using prueba::R;
using prueba::Resumen;

namespace {

std::string Filas(std::initializer_list<const char*> numeros) {
    std::string datos;
    for (const char* n : numeros) {
        datos += Fila(n);
    }
    return datos;
}

// ---------------------------------------------------------------------------
// The next-number rule, row by row.

enum class Forma { Falta, Carpeta, Archivo };

struct CasoSiguiente {
    const char* nombre;
    Forma forma;
    std::string contenido;
    std::int64_t esperado;
};

const CasoSiguiente kSiguiente[] = {
    {"missing file", Forma::Falta, "", 1},
    {"directory named fichas.dat", Forma::Carpeta, "", 1},
    {"empty file", Forma::Archivo, "", 1},
    {"cards 1 to 3 in order", Forma::Archivo, Filas({"1", "2", "3"}), 4},
    {"cards 1, 2, 7", Forma::Archivo, Filas({"1", "2", "7"}), 8},
    {"cards 5, 3: only the last counts", Forma::Archivo, Filas({"5", "3"}), 4},
    {"first number empty", Forma::Archivo, Filas({"", "2"}), 1},
    {"first number 0", Forma::Archivo, Filas({"0", "2"}), 1},
    {"first number negative", Forma::Archivo, Filas({"-4", "2"}), 1},
    {"blank line between cards 2 and 3 is skipped", Forma::Archivo,
     Filas({"1", "2"}) + "\r\n" + Fila("3"), 4},
    {"line of blanks between cards 2 and 3 is skipped", Forma::Archivo,
     Filas({"1", "2"}) + " \t \r\n" + Fila("3"), 4},
    {"empty first item after card 2 still ends the pass", Forma::Archivo,
     Filas({"1", "2", "", "3"}), 3},
    {"card cut short by the end of the file", Forma::Archivo, Filas({"1", "2"}) + "3,\"abc\",\"de",
     3},
    {"cards 1 and 100000000: the counter passes the limit", Forma::Archivo,
     Filas({"1", "100000000"}), 2},
    {"card 99999999: the counter reaches the limit but does not pass it", Forma::Archivo,
     Filas({"1", "99999999"}), 100000000},
    {"card 99999999 then 5: the pass goes on", Forma::Archivo, Filas({"99999999", "5"}), 6},
    {"number too large for 64 bits", Forma::Archivo, Filas({"1", "99999999999999999999999999"}), 2},
    {"blank line at the very end", Forma::Archivo, Filas({"1", "2", "3"}) + "\r\n", 4},
    {"blanks and line ends of every kind at the end", Forma::Archivo,
     Filas({"1", "2", "3"}) + "\r\n  \n\t\r\r\n ", 4},
    {"no line end after the last card", Forma::Archivo,
     Filas({"1", "2"}) + "3,\"x\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"", 4},
};

void PrintTo(const CasoSiguiente& caso, std::ostream* os) {
    *os << caso.nombre;
}

class SiguienteNumero : public prueba::EnCarpeta,
                        public ::testing::WithParamInterface<CasoSiguiente> {};

TEST_P(SiguienteNumero, FollowsTheLastCardRead) {
    const CasoSiguiente& caso = GetParam();
    if (caso.forma == Forma::Carpeta) {
        ASSERT_EQ(mkdir("fichas.dat", 0777), 0);
    } else if (caso.forma == Forma::Archivo) {
        prueba::Escribir(caso.contenido);
        EXPECT_EQ(store::SiguienteNumeroDe(caso.contenido), caso.esperado) << "from memory";
    }
    EXPECT_EQ(store::SiguienteNumero(), caso.esperado) << "from the file";
}

INSTANTIATE_TEST_SUITE_P(Filas, SiguienteNumero, ::testing::ValuesIn(kSiguiente),
                         prueba::PorNombre());

// ---------------------------------------------------------------------------
// The counter of a pass: the limit is tested after the step, the remembered
// value is the counter before each card attempted.

struct CasoPase {
    const char* nombre;
    std::string datos;
    std::int64_t limite;
    store::Contador pedido;   // whether the pass remembers the counter
    std::int64_t terminar_en; // the step ends the pass at this number (-1: never)
    std::vector<std::int64_t> vistos;
    std::int64_t contador;
    std::optional<std::int64_t> recordado;
};

const CasoPase kPases[] = {
    {"end of the data ends the pass",
     Filas({"1", "2", "3"}),
     store::kLimitePaseDeLista,
     store::Contador::Recordar,
     -1,
     {1, 2, 3},
     4,
     4},
    {"nothing remembered unless asked",
     Filas({"1", "2", "3"}),
     store::kLimitePaseDeLista,
     store::Contador::Olvidar,
     -1,
     {1, 2, 3},
     4,
     std::nullopt},
    {"the step ends the pass before the counter goes up",
     Filas({"1", "2", "3"}),
     store::kLimitePaseDeLista,
     store::Contador::Recordar,
     2,
     {1, 2},
     2,
     2},
    {"a card at the limit is still handed to the step",
     Filas({"3", "10", "11"}),
     10,
     store::Contador::Recordar,
     -1,
     {3, 10},
     11,
     4},
    {"a counter equal to the limit goes on",
     Filas({"9", "11", "12"}),
     10,
     store::Contador::Recordar,
     -1,
     {9, 11},
     12,
     10},
    {"each card's number replaces the counter",
     Filas({"7", "3"}),
     store::kLimitePaseDeLista,
     store::Contador::Recordar,
     -1,
     {7, 3},
     4,
     4},
    {"no cards", "", store::kLimitePaseDeLista, store::Contador::Recordar, -1, {}, 1, 1},
    {"an empty number reaches the step as 0",
     Filas({""}),
     store::kLimitePaseDeLista,
     store::Contador::Recordar,
     -1,
     {0},
     1,
     1},
    {"a card cut short never reaches the step",
     Filas({"1"}) + "2,\"a\"",
     store::kLimitePaseDeLista,
     store::Contador::Recordar,
     -1,
     {1},
     2,
     2},
};

void PrintTo(const CasoPase& caso, std::ostream* os) {
    *os << caso.nombre;
}

class Contador : public prueba::EnCarpeta, public ::testing::WithParamInterface<CasoPase> {};

TEST_P(Contador, EndsWhereItShould) {
    const CasoPase& caso = GetParam();
    prueba::Escribir(caso.datos);
    for (const bool de_archivo : {true, false}) {
        SCOPED_TRACE(de_archivo ? "from the file" : "from memory");
        std::vector<std::int64_t> vistos;
        const auto paso = [&](const store::VistaFicha& ficha) {
            vistos.push_back(ficha.Numero);
            return ficha.Numero == caso.terminar_en ? store::Paso::Terminar : store::Paso::Seguir;
        };
        const store::Pase pase =
            de_archivo ? store::LeerFichas(caso.limite, caso.pedido, paso)
                       : store::LeerFichasDe(caso.datos, caso.limite, caso.pedido, paso);
        EXPECT_TRUE(pase.abierto);
        EXPECT_EQ(vistos, caso.vistos);
        EXPECT_EQ(pase.contador, caso.contador);
        EXPECT_EQ(pase.recordado, caso.recordado);
    }
}

INSTANTIATE_TEST_SUITE_P(Casos, Contador, ::testing::ValuesIn(kPases), prueba::PorNombre());

using SinArchivo = prueba::EnCarpeta;

TEST_F(SinArchivo, PassWithoutAFileHasNoCardsAndNothingRemembered) {
    const auto probar = [](const char* como) {
        SCOPED_TRACE(como);
        int llamadas = 0;
        const store::Pase pase = store::LeerFichas(store::kLimitePaseDeLista,
                                                   store::Contador::Recordar, [&](const auto&) {
                                                       ++llamadas;
                                                       return store::Paso::Seguir;
                                                   });
        EXPECT_FALSE(pase.abierto);
        EXPECT_EQ(pase.contador, 1);
        EXPECT_EQ(pase.recordado, std::nullopt);
        EXPECT_EQ(llamadas, 0);
    };
    probar("missing file");
    ASSERT_EQ(mkdir("fichas.dat", 0777), 0);
    probar("directory named fichas.dat");
    ASSERT_EQ(rmdir("fichas.dat"), 0);
    ASSERT_EQ(symlink("/dev/zero", "fichas.dat"), 0);
    probar("link to an endless device");
}

TEST_F(SinArchivo, TheFileIsLookedUpInTheCurrentDirectoryAtEachCall) {
    prueba::Escribir(Filas({"1", "2"}));
    ASSERT_EQ(mkdir("otra", 0777), 0);
    EXPECT_EQ(store::SiguienteNumero(), 3);
    ASSERT_EQ(chdir("otra"), 0);
    EXPECT_EQ(store::SiguienteNumero(), 1);
    prueba::Escribir(Filas({"1", "2", "3", "4"}));
    EXPECT_EQ(store::SiguienteNumero(), 5);
    ASSERT_EQ(chdir(".."), 0);
    EXPECT_EQ(store::SiguienteNumero(), 3);
}

// ---------------------------------------------------------------------------
// What a reader accepts. Each case is also read in dribbles and with tiny
// buffers below, so every card boundary falls on a block boundary somewhere.

struct CasoLectura {
    const char* nombre;
    std::string datos;
    std::vector<Resumen> fichas;
};

// Items 3 to 10 of a card, all empty.
const std::string kOchoVacios = ",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"";

const CasoLectura kLecturas[] = {
    {"the card as written",
     "12,\"abc\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n",
     {R(12, {"abc"})}},
    {"all nine texts in file order",
     "3,\"T\",\"A\",\"E\",\"F\",\"P\",\"C\",\"K\",\"M\",\"X\"\r\n",
     {R(3, {"T", "A", "E", "F", "P", "C", "K", "M", "X"})}},
    {"blanks around items and before quotes",
     " 12 ,\t\"abc\" , x y ,  \"d\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n",
     {R(12, {"abc", "x y", "d"})}},
    {"characters after a closing quote are skipped",
     "1,\"a\"xyz,\"b\" \"c\",\"d\"\"\"z,\"\",\"\",\"\",\"\",\"\",\"\"\r\n",
     {R(1, {"a", "b", "d\""})}},
    {"unquoted texts",
     "1,abc,d e f,,\"\",\"\",\"\",\"\",\"\",last\r\n",
     {R(1, {"abc", "d e f", "", "", "", "", "", "", "last"})}},
    {"LF line ends",
     "1,\"a\"" + kOchoVacios + "\n2,\"b\"" + kOchoVacios + "\n",
     {R(1, {"a"}), R(2, {"b"})}},
    {"lone CR line ends",
     "1,\"a\"" + kOchoVacios + "\r2,\"b\"" + kOchoVacios + "\r",
     {R(1, {"a"}), R(2, {"b"})}},
    {"every line end separates items",
     "1,\"a\"\r\n\"b\",\"c\"\n\"d\"\r\"e\",\"f\",\"g\",\"h\",\"i\"\r\n",
     {R(1, {"a", "b", "c", "d", "e", "f", "g", "h", "i"})}},
    {"a blank line inside a card is an empty item",
     "1,\"a\"\r\n\r\n\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\"\r\n",
     {R(1, {"a", "", "c", "d", "e", "f", "g", "h", "i"})}},
    {"commas and line breaks inside quotes belong to the text",
     "1,\"a,b\",\"c\r\nd\",\"e\nf\rg\",\"\",\"\",\"\",\"\",\"\",\", \"\r\n",
     {R(1, {"a,b", "c\r\nd", "e\nf\rg", "", "", "", "", "", ", "})}},
    {"a doubled quote reads as one",
     "1,\"say \"\"hi\"\"\",\"\"\"\",\"\"\"\"\"\",\"\",\"\"\"a\"\"\",\"\",\"\",\"\",\"\"\r\n",
     {R(1, {"say \"hi\"", "\"", "\"\"", "", "\"a\""})}},
    {"NUL and control bytes are ordinary characters",
     "1,\"a\0b\",\x01\x1a\x7f,\"\x1b\"\0"s + kOchoVacios.substr(6) + "\r\n",
     {R(1, {"a\0b"s, "\x01\x1a\x7f", "\x1b"})}},
    {"Windows-1252 bytes pass unchanged",
     "1,\"\xE1\xE9\xED\xF3\xFA\xF1\xFC\xBF\xA1\x80\x81\xFF\"" + kOchoVacios + "\r\n",
     {R(1, {"\xE1\xE9\xED\xF3\xFA\xF1\xFC\xBF\xA1\x80\x81\xFF"})}},
    {"a quoted first item", "\"12\",\"a\"" + kOchoVacios + "\r\n", {R(12, {"a"})}},
    {"an eleventh item starts the next card",
     "1,\"a\",\"b\",\"c\",\"d\",\"e\",\"f\",\"g\",\"h\",\"i\",\"extra\"\r\n" + Fila("2"),
     {R(1, {"a", "b", "c", "d", "e", "f", "g", "h", "i"}), R(0, {"2", "x"})}},
    {"empty lines where a card begins are skipped",
     "\r\n \r\n" + Fila("1") + "\r\n  \t\r\n\n\r" + Fila("2") + "\n\n",
     {R(1, {"x"}), R(2, {"x"})}},
    {"an empty first item is still a card",
     ",\"x\"" + kOchoVacios + "\r\n" + Fila("2"),
     {R(0, {"x"}), R(2, {"x"})}},
    {"a quote never closed ends the pass", Fila("1") + "2,\"abc,\"\",\r\n", {R(1, {"x"})}},
    {"an item missing after the last comma", "1" + kOchoVacios + ",", {}},
    {"an item missing after the last line end", "1" + kOchoVacios + "\r\n", {}},
    {"the end of the data ends the last item",
     Fila("1") + "2" + kOchoVacios + ",tail",
     {R(1, {"x"}), R(2, {"", "", "", "", "", "", "", "", "tail"})}},
    {"blanks after the last card", Fila("1") + "  \t", {R(1, {"x"})}},
};

void PrintTo(const CasoLectura& caso, std::ostream* os) {
    *os << caso.nombre;
}

class Lectura : public ::testing::TestWithParam<CasoLectura> {};

TEST_P(Lectura, ReadsTheCards) {
    EXPECT_EQ(prueba::TodasDe(GetParam().datos), GetParam().fichas);
}

INSTANTIATE_TEST_SUITE_P(Casos, Lectura, ::testing::ValuesIn(kLecturas), prueba::PorNombre());

struct Lo {
    std::vector<Resumen> fichas;
    std::int64_t contador;
    std::optional<std::int64_t> recordado;
    bool operator==(const Lo&) const = default;
};

// The pass over `datos` handed out `tramo` bytes per read at most.
Lo LeerATramos(std::string_view datos, std::size_t bloque, std::size_t tramo) {
    Lo lo;
    const auto fuente = [&](char* destino, std::size_t largo, std::int64_t desde) {
        const std::size_t d = static_cast<std::size_t>(desde);
        const std::size_t n = std::min({largo, tramo, datos.size() - d});
        std::memcpy(destino, datos.data() + d, n);
        return static_cast<ssize_t>(n);
    };
    const store::Recorrido r = store::Recorrer(fuente, bloque, store::kLimitePaseDeLista,
                                               store::Contador::Recordar, [&](const auto& ficha) {
                                                   lo.fichas.push_back(prueba::Resumir(ficha));
                                                   return store::Paso::Seguir;
                                               });
    EXPECT_EQ(r.error, 0);
    lo.contador = r.pase.contador;
    lo.recordado = r.pase.recordado;
    return lo;
}

TEST(LecturaATramos, GivesTheSameCardsWhereverTheReadsEnd) {
    std::vector<std::string> entradas;
    for (const CasoLectura& caso : kLecturas) {
        entradas.push_back(caso.datos);
    }
    for (const CasoSiguiente& caso : kSiguiente) {
        entradas.push_back(caso.contenido);
    }
    for (const std::string& datos : entradas) {
        const Lo entero = LeerATramos(datos, datos.size() + 1, datos.size() + 1);
        for (const std::size_t bloque : {std::size_t{1}, std::size_t{3}, store::kBloque}) {
            for (const std::size_t tramo : {1, 2, 3, 7, 64}) {
                EXPECT_EQ(LeerATramos(datos, bloque, tramo), entero)
                    << ::testing::PrintToString(datos) << " block " << bloque << " reads of "
                    << tramo;
            }
        }
    }
}

TEST(LecturaATramos, AFailedReadEndsThePassAndIsReported) {
    const std::string datos = Filas({"1", "2", "3"});
    const auto fuente = [&](char* destino, std::size_t largo, std::int64_t desde) -> ssize_t {
        if (desde >= 40) {
            errno = EIO;
            return -1;
        }
        const std::size_t n = std::min<std::size_t>(largo, 40 - static_cast<std::size_t>(desde));
        std::memcpy(destino, datos.data() + desde, n);
        return static_cast<ssize_t>(n);
    };
    std::vector<std::int64_t> vistos;
    const store::Recorrido r = store::Recorrer(fuente, 16, store::kLimitePaseDeLista,
                                               store::Contador::Olvidar, [&](const auto& ficha) {
                                                   vistos.push_back(ficha.Numero);
                                                   return store::Paso::Seguir;
                                               });
    EXPECT_EQ(r.error, EIO);
    EXPECT_EQ(vistos, std::vector<std::int64_t>{1}); // the second card is not whole in 40 bytes
}

// ---------------------------------------------------------------------------
// The first item as a number.

struct CasoNumero {
    std::string item;
    std::int64_t numero;
};

void PrintTo(const CasoNumero& caso, std::ostream* os) {
    *os << ::testing::PrintToString(caso.item);
}

class PrimerItem : public ::testing::TestWithParam<CasoNumero> {};

TEST_P(PrimerItem, ReadsAsAWholeNumberOrZero) {
    const auto fichas = prueba::TodasDe(GetParam().item + ",\"t\"" + kOchoVacios + "\r\n");
    ASSERT_EQ(fichas.size(), 1u);
    EXPECT_EQ(fichas[0], R(GetParam().numero, {"t"}));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, PrimerItem,
    ::testing::Values(CasoNumero{"12", 12}, CasoNumero{"007", 7}, CasoNumero{"+7", 7},
                      CasoNumero{"-7", -7}, CasoNumero{" \t12 ", 12}, CasoNumero{"\"12\"", 12},
                      CasoNumero{"\" 12 \"", 12}, CasoNumero{"", 0}, CasoNumero{"\"\"", 0},
                      CasoNumero{"-", 0}, CasoNumero{"+", 0}, CasoNumero{"1.5", 0},
                      CasoNumero{"12abc", 0}, CasoNumero{"abc", 0}, CasoNumero{"1 2", 0},
                      CasoNumero{"0x10", 0}, CasoNumero{"--1", 0}, CasoNumero{"\"1\"\"2\"", 0},
                      CasoNumero{"1\0"s, 0}, CasoNumero{"9223372036854775807", 1000000000000000000},
                      CasoNumero{"99999999999999999999999999", 1000000000000000000},
                      CasoNumero{"-99999999999999999999999999", -1000000000000000000}));

// ---------------------------------------------------------------------------
// Files on disk that the program never writes.

using Archivo = prueba::EnCarpeta;

TEST_F(Archivo, ALineOfManyMegabytesIsReadWhole) {
    std::string largo;
    for (std::size_t i = 0; largo.size() < 3 * store::kBloque; ++i) {
        largo += "line " + std::to_string(i) + ", with \"quotes\"\r\n";
    }
    store::Ficha ficha = prueba::Tarjeta({"big", "", "", "", "", "", "", "", largo}, 2);
    const std::string sin_comillas(store::kBloque + 17, 'u');
    const std::string datos = Fila("1") + store::Linea(ficha) + std::string(store::kBloque, '\n') +
                              "3," + sin_comillas + kOchoVacios + "\r\n" + Fila("4");
    prueba::Escribir(datos);
    const auto fichas = prueba::Todas();
    ASSERT_EQ(fichas.size(), 4u);
    EXPECT_EQ(fichas[0], R(1, {"x"}));
    EXPECT_TRUE(fichas[1] == prueba::Resumir(ficha)) << "the long comment came back changed";
    EXPECT_TRUE(fichas[2] == R(3, {sin_comillas})) << "the long unquoted title came back changed";
    EXPECT_EQ(fichas[3], R(4, {"x"}));
    EXPECT_EQ(store::SiguienteNumero(), 5);
}

TEST_F(Archivo, CutAtEveryByteOnlyWholeCardsAreRead) {
    const store::Ficha tarjetas[] = {
        prueba::Tarjeta({"Don \"Q\"", "Cervantes, M.", "", "1605", "", "", "", "", "a\r\nb"}, 1),
        prueba::Tarjeta({}, 2),
        prueba::Tarjeta({"\xC1rbol", "", "", "", "", "", "", "", "fin, y"}, 3),
    };
    std::string completo;
    std::vector<std::size_t> finales; // just past each card's closing quote
    for (const store::Ficha& t : tarjetas) {
        completo += store::Linea(t);
        finales.push_back(completo.size() - 2);
    }
    for (std::size_t corte = 0; corte <= completo.size(); ++corte) {
        SCOPED_TRACE("cut at " + std::to_string(corte));
        prueba::Escribir(std::string_view(completo).substr(0, corte));
        const auto fichas = prueba::Todas();
        const auto enteras = static_cast<std::size_t>(std::count_if(
            finales.begin(), finales.end(), [&](std::size_t f) { return f <= corte; }));
        ASSERT_EQ(fichas.size(), enteras);
        for (std::size_t i = 0; i < enteras; ++i) {
            EXPECT_EQ(fichas[i], prueba::Resumir(tarjetas[i]));
        }
        EXPECT_EQ(store::SiguienteNumero(), static_cast<std::int64_t>(enteras) + 1);
    }
}

} // namespace
