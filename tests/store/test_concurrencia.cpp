// Two programs saving into one file at the same moment, and a program
// reading while another saves.

#include "tests/soporte/fichas.h"

#include "store/guardar.h"
#include "store/lector.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kPorProceso = 2000;

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

// One reading pass of the next-number kind: the cards it saw and the number
// it gives, from the same pass.
struct Visto {
    std::vector<prueba::Resumen> fichas;
    std::int64_t siguiente;
};

Visto Pasada() {
    Visto visto;
    const store::Pase pase = store::LeerFichas(
        store::kLimitePaseDeNumero, store::Contador::Recordar, [&](const store::VistaFicha& ficha) {
            visto.fichas.push_back(prueba::Resumir(ficha));
            return ficha.Numero < 1 ? store::Paso::Terminar : store::Paso::Seguir;
        });
    visto.siguiente = store::ReglaDelSiguiente(pase);
    return visto;
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
    // Meanwhile every pass must see whole cards numbered 1, 2, 3 and so on,
    // and give the number after the last of them.
    int vivos = 2;
    std::size_t visto = 0;
    int pasadas = 0;
    while (vivos > 0) {
        // A pause between passes, so that the reader does not hold the writers off.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ++pasadas;
        const Visto pasada = Pasada();
        const auto& fichas = pasada.fichas;
        EXPECT_GE(fichas.size(), visto);
        visto = fichas.size();
        for (std::size_t i = 0; i < fichas.size(); ++i) {
            ASSERT_EQ(fichas[i][0], std::to_string(i + 1));
            ASSERT_EQ(fichas[i][9], kComentario);
        }
        ASSERT_EQ(pasada.siguiente, static_cast<std::int64_t>(fichas.size()) + 1);
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
    std::printf("%d cards saved by two processes at once, %d reading passes meanwhile\n",
                2 * kPorProceso, pasadas);
}

// A long card whose comment is mostly double quotes, each written doubled: a
// line cut anywhere is likely to end just after a quote, where a reader that
// took part of a line for a card would see a shorter text that looks whole.
store::Ficha Larga(int i) {
    std::string comentario;
    const std::size_t largo = static_cast<std::size_t>(i) * 7919 % 12000;
    while (comentario.size() < largo) {
        comentario += "\"x\"\"" + std::to_string(i);
    }
    return prueba::Tarjeta({"l" + std::to_string(i), "", "", "", "", "", "", "", comentario},
                           static_cast<std::int64_t>(i) + 1);
}

constexpr int kLargas = 200;

TEST_F(Concurrencia, AReaderNeverTakesACardBeingWrittenForACard) {
    std::vector<prueba::Resumen> esperadas;
    for (int i = 0; i < kLargas; ++i) {
        esperadas.push_back(prueba::Resumir(Larga(i)));
    }
    const pid_t hijo = fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        // One page per write, slowly: the line reaches the file in pieces,
        // and a pass has time to meet the file between two of them.
        prueba::ATrozos trozos;
        trozos.pausa = std::chrono::microseconds(300);
        for (int i = 0; i < kLargas; ++i) {
            store::Ficha ficha = Larga(i);
            if (store::GuardarFichaCon(trozos, ficha) || ficha.Numero != i + 1) {
                _exit(1);
            }
        }
        _exit(0);
    }
    int pasadas = 0;
    std::size_t visto = 0;
    for (int estado = 0;;) {
        const pid_t fin = waitpid(hijo, &estado, WNOHANG);
        ++pasadas;
        const Visto pasada = Pasada();
        ASSERT_GE(pasada.fichas.size(), visto);
        ASSERT_LE(pasada.fichas.size(), esperadas.size());
        visto = pasada.fichas.size();
        for (std::size_t i = 0; i < visto; ++i) {
            ASSERT_TRUE(pasada.fichas[i] == esperadas[i])
                << "pass " << pasadas << " took part of card " << i + 1
                << " for a card: comment of " << pasada.fichas[i][9].size() << " bytes instead of "
                << esperadas[i][9].size();
        }
        ASSERT_EQ(pasada.siguiente, static_cast<std::int64_t>(visto) + 1);
        if (fin == hijo) {
            ASSERT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0) << "status " << estado;
            break;
        }
    }
    EXPECT_EQ(visto, esperadas.size());
    std::printf("%d reading passes while %d long cards were written a page at a time\n", pasadas,
                kLargas);
}

} // namespace
