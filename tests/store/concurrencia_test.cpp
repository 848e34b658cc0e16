// Two programs saving into one file at the same moment.

#include "ayudas.h"

#include <algorithm>
#include <map>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kPorProceso = 500;

const char kComentario[] = "m, \"q\"";

// Saves kPorProceso cards titled <letra><i>; the exit status counts failures.
[[noreturn]] void Guardar(char letra) {
    int fallos = 0;
    for (int i = 0; i < kPorProceso; ++i) {
        store::Ficha ficha =
            prueba::Tarjeta({letra + std::to_string(i), "", "", "", "", "", "", "", kComentario});
        if (store::GuardarFicha(ficha)) {
            ++fallos;
        }
    }
    _exit(std::min(fallos, 100));
}

using Concurrencia = prueba::EnCarpeta;

TEST_F(Concurrencia, TwoProcessesSavingAtOnceNumberEveryCardOnce) {
    pid_t hijos[2];
    for (int h = 0; h < 2; ++h) {
        hijos[h] = fork();
        ASSERT_GE(hijos[h], 0);
        if (hijos[h] == 0) {
            Guardar(static_cast<char>('A' + h));
        }
    }
    // Meanwhile every pass must see whole cards numbered 1, 2, 3 and so on.
    int vivos = 2;
    std::size_t visto = 0;
    while (vivos > 0) {
        const auto fichas = prueba::Todas();
        EXPECT_GE(fichas.size(), visto);
        visto = fichas.size();
        for (std::size_t i = 0; i < fichas.size(); ++i) {
            ASSERT_EQ(fichas[i][0], std::to_string(i + 1));
            ASSERT_EQ(fichas[i][9], kComentario);
        }
        for (pid_t& hijo : hijos) {
            int estado = 0;
            if (hijo > 0 && waitpid(hijo, &estado, WNOHANG) == hijo) {
                EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0)
                    << "a child failed saves, status " << estado;
                hijo = 0;
                --vivos;
            }
        }
    }

    const std::string contenido = prueba::Contenido();
    const std::regex forma(R"re(([1-9][0-9]*),"([AB])([0-9]+)"(,""){7},"m, ""q""")re");
    std::vector<int> numeros;
    std::map<char, int> siguiente_de; // each process's own cards come in its order
    std::size_t desde = 0;
    while (desde < contenido.size()) {
        const std::size_t fin = contenido.find("\r\n", desde);
        ASSERT_NE(fin, std::string::npos) << "the last line has no line end";
        const std::string linea = contenido.substr(desde, fin - desde);
        std::smatch partes;
        ASSERT_TRUE(std::regex_match(linea, partes, forma)) << linea;
        numeros.push_back(std::stoi(partes[1]));
        const char letra = partes[2].str()[0];
        EXPECT_EQ(std::stoi(partes[3]), siguiente_de[letra]++) << linea;
        desde = fin + 2;
    }
    ASSERT_EQ(numeros.size(), 2u * kPorProceso);
    for (std::size_t i = 0; i < numeros.size(); ++i) {
        ASSERT_EQ(numeros[i], static_cast<int>(i) + 1)
            << "the numbers must run 1, 2, 3 in file order";
    }
    EXPECT_EQ(store::SiguienteNumero(), 2 * kPorProceso + 1);
}

} // namespace
