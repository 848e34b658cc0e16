// The catalogue's rules without any window: the search's match rule, the
// number a user types to open a card, opening a card and the full list.

#include "tests/soporte/fichas.h"

#include "store/catalogo.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using prueba::Fila;
using prueba::R;
using prueba::Resumen;

namespace {

class Catalogo : public prueba::EnCarpeta {};

std::vector<std::int64_t> Numeros(const std::vector<Resumen>& fichas) {
    std::vector<std::int64_t> numeros;
    for (const Resumen& r : fichas) {
        numeros.push_back(std::stoll(r[0]));
    }
    return numeros;
}

struct Busqueda {
    std::int64_t cuenta = 0;
    std::vector<Resumen> filas;
};

Busqueda Buscar(store::CampoDe<std::string_view> campo, std::string_view texto) {
    Busqueda b;
    b.cuenta = store::BuscarFichas(campo, texto, [&](const store::VistaFicha& ficha) {
        b.filas.push_back(prueba::Resumir(ficha));
    });
    return b;
}

// Titles of cards 1 to 6; card 5 has an empty title.
const std::string kSeis = "1,\"Cien a\xF1os\",\"Garc\xED"
                          "a\",\"\",\"\",\"\",\"\",\"A-1\",\"Novela\",\"\"\r\n"
                          "2,\"cien A\xD1OS\",\"Garcia\",\"\",\"\",\"\",\"\",\"B-2\",\"\",\"\"\r\n"
                          "3,\"La ci\xE9naga\",\"x\",\"\",\"\",\"\",\"A-1\",\"C-3\",\"\",\"\"\r\n"
                          "4,\"A\xF1os de soledad\",\"y\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                          "5,\"\",\"z\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"
                          "6,\"Mil a\xF1os\",\"w\",\"\",\"\",\"\",\"\",\"A-1\",\"\",\"\"\r\n";

struct CasoBusqueda {
    const char* nombre;
    store::CampoDe<std::string_view> campo;
    std::string texto;
    std::vector<std::int64_t> halladas;
};

// Texts are Windows-1252 bytes: "\xF1" is ñ, "\xE9" is é, "\xD1" is Ñ.
const CasoBusqueda kBusquedas[] = {
    {"at the end of a title", &store::VistaFicha::Titulo, "a\xF1os", {1, 6}},
    {"inside a word", &store::VistaFicha::Titulo, "ien", {1, 2}},
    {"at the start of a title", &store::VistaFicha::Titulo, "La", {3}},
    {"case differs: no match", &store::VistaFicha::Titulo, "A\xD1OS", {2}},
    {"accent differs: no match", &store::VistaFicha::Titulo, "cienaga", {}},
    {"blanks are characters", &store::VistaFicha::Titulo, "n a", {1}},
    {"empty text matches every non-empty field", &store::VistaFicha::Titulo, "", {1, 2, 3, 4, 6}},
    {"longer than every field", &store::VistaFicha::Titulo, std::string(40, 'a'), {}},
    {"the code is the 8th item, never the copies", &store::VistaFicha::Codigo, "A-1", {1, 6}},
    {"an empty subject never matches", &store::VistaFicha::Tema, "", {1}},
};

class BuscarFichas : public prueba::EnCarpeta,
                     public ::testing::WithParamInterface<CasoBusqueda> {};

TEST_P(BuscarFichas, ListsEveryMatchInFileOrderAndCountsThem) {
    prueba::Escribir(kSeis);
    const CasoBusqueda& caso = GetParam();
    const Busqueda b = Buscar(caso.campo, caso.texto);
    EXPECT_EQ(Numeros(b.filas), caso.halladas);
    EXPECT_EQ(b.cuenta, static_cast<std::int64_t>(caso.halladas.size()));
}

INSTANTIATE_TEST_SUITE_P(Casos, BuscarFichas, ::testing::ValuesIn(kBusquedas), prueba::PorNombre());

TEST_F(Catalogo, ASearchWithNoFileFindsNothing) {
    const Busqueda b = Buscar(&store::VistaFicha::Titulo, "");
    EXPECT_EQ(b.cuenta, 0);
    EXPECT_TRUE(b.filas.empty());
}

TEST_F(Catalogo, ASearchStopsAtACardCutShortAndKeepsWhatItFound) {
    prueba::Escribir(Fila("1", "uno") + Fila("2", "dos") + "3,\"tres");
    const Busqueda b = Buscar(&store::VistaFicha::Titulo, "");
    EXPECT_EQ(Numeros(b.filas), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(b.cuenta, 2);
}

TEST_F(Catalogo, TheCountHasNoLimitOfItsOwn) {
    std::string datos;
    for (int i = 1; i <= 40000; ++i) {
        datos += Fila(std::to_string(i), "t");
    }
    prueba::Escribir(datos);
    EXPECT_EQ(Buscar(&store::VistaFicha::Titulo, "t").cuenta, 40000);
}

struct CasoNumero {
    const char* nombre;
    std::string tecleado;
    std::optional<std::int64_t> numero;
};

const CasoNumero kNumeros[] = {
    {"plain", "7", 7},
    {"leading zeros", "007", 7},
    {"blanks and tabs around", " \t12 ", 12},
    {"zero", "0", 0},
    {"empty", "", std::nullopt},
    {"only blanks", "   ", std::nullopt},
    {"sign", "+7", std::nullopt},
    {"negative", "-7", std::nullopt},
    {"blank inside", "1 2", std::nullopt},
    {"letters", "7a", std::nullopt},
    {"decimal point", "7.0", std::nullopt},
    {"too large for any card", "99999999999999999999", std::nullopt},
    {"largest 64-bit", "9223372036854775807", 9223372036854775807},
};

class NumeroTecleado : public ::testing::TestWithParam<CasoNumero> {};

TEST_P(NumeroTecleado, ReadsOnlyARunOfDecimalDigits) {
    EXPECT_EQ(store::NumeroTecleado(GetParam().tecleado), GetParam().numero);
}

INSTANTIATE_TEST_SUITE_P(Casos, NumeroTecleado, ::testing::ValuesIn(kNumeros), prueba::PorNombre());

TEST_F(Catalogo, OpensTheFirstCardWithTheNumber) {
    prueba::Escribir(Fila("1", "uno") + Fila("2", "dos") + Fila("2", "otra dos"));
    const auto ficha = store::FichaConNumero(2);
    ASSERT_TRUE(ficha);
    EXPECT_EQ(prueba::Resumir(*ficha), R(2, {"dos"}));
    EXPECT_FALSE(store::FichaConNumero(3));
}

TEST_F(Catalogo, OpensNothingWithoutAFile) {
    EXPECT_FALSE(store::FichaConNumero(1));
}

TEST_F(Catalogo, TheListStopsAtACardNumberedZeroAndGivesTheLastNumber) {
    prueba::Escribir(Fila("1") + Fila("5") + Fila("3") + Fila("0") + Fila("9"));
    std::vector<Resumen> filas;
    const auto ultimo = store::ListarFichas(
        [&](const store::VistaFicha& ficha) { filas.push_back(prueba::Resumir(ficha)); });
    EXPECT_EQ(Numeros(filas), (std::vector<std::int64_t>{1, 5, 3}));
    EXPECT_EQ(ultimo, 3);
}

TEST_F(Catalogo, AnEmptyListHasNoLastNumber) {
    prueba::Escribir(Fila("0"));
    EXPECT_FALSE(store::ListarFichas([](const store::VistaFicha&) {}));
    std::remove("fichas.dat");
    EXPECT_FALSE(store::ListarFichas([](const store::VistaFicha&) {}));
}

} // namespace
