// A program killed at any moment loses nothing it reported saved: a helper
// process saves cards in a loop and reports each one once GuardarFicha has
// returned; it is killed with SIGKILL at random moments.

#include "store/guardar.h"
#include "tests/soporte/fichas.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMuertes = 200;

// The i-th card of a run. Every other one is long, so that a kill can fall
// while its line is being written.
store::Ficha Serie(int i) {
    const std::string comentario =
        i % 2 == 1 ? std::string(std::size_t{256} << 10, static_cast<char>('a' + i % 26))
                   : "c\r\n" + std::to_string(i);
    return prueba::Tarjeta({"s" + std::to_string(i), "", "", "", "", "", "", "", comentario});
}

struct Informe {
    std::int64_t serie;
    std::int64_t numero; // minus errno when the save failed
};

[[noreturn]] void GuardarSinFin(int tuberia, bool a_trozos) {
    store::Archivos enteras;
    prueba::ATrozos trozos; // a kill between two pieces leaves part of the line
    trozos.pausa = std::chrono::microseconds(50);
    store::Archivos& archivos = a_trozos ? trozos : enteras;
    for (int i = 0;; ++i) {
        store::Ficha ficha = Serie(i);
        const store::Error error = store::GuardarFichaCon(archivos, ficha);
        const Informe informe{i, error ? -error.codigo : ficha.Numero};
        // Shorter than PIPE_BUF: one write, never split.
        if (write(tuberia, &informe, sizeof informe) != sizeof informe || error) {
            _exit(1);
        }
    }
}

std::vector<Informe> LeerInformes(int tuberia) {
    std::vector<Informe> informes;
    Informe informe{};
    while (read(tuberia, &informe, sizeof informe) == sizeof informe) {
        informes.push_back(informe);
    }
    return informes;
}

// A kill takes only what the process held: the page cache is the file for
// every other process whatever the disk below, so the runs go to a tmpfs where
// one is at hand. Its syncs cost nothing, so most kills fall while a save reads
// the file or the kernel copies a line into it, not while the disk is flushed.
class Muerte : public prueba::EnCarpeta {
  protected:
    void SetUp() override {
        prueba::EnCarpeta::SetUp();
        char plantilla[] = "/dev/shm/folioteca-muerte-XXXXXX";
        if (std::filesystem::is_directory("/dev/shm") && mkdtemp(plantilla) != nullptr) {
            rapida_ = plantilla;
            std::filesystem::current_path(rapida_);
        }
    }
    void TearDown() override {
        prueba::EnCarpeta::TearDown();
        if (!rapida_.empty()) {
            std::filesystem::remove_all(rapida_);
        }
    }
    std::filesystem::path rapida_;
};

TEST_F(Muerte, AKilledSaverLosesNoReportedCardAndLeavesAtMostOneCutShort) {
    std::mt19937 azar(20240606);
    std::uniform_int_distribution<int> espera_us(0, 15000);
    int informadas = 0, enteras_sin_informe = 0;
    int cortadas[2] = {0, 0}; // with whole writes, with writes of one page
    for (int vuelta = 0; vuelta < kMuertes; ++vuelta) {
        const bool a_trozos = vuelta % 2 == 1;
        SCOPED_TRACE("kill " + std::to_string(vuelta + 1) +
                     (a_trozos ? ", writes of one page" : ", whole writes"));
        std::filesystem::remove("fichas.dat");
        int tuberia[2];
        ASSERT_EQ(pipe(tuberia), 0);
        std::fflush(nullptr);
        const pid_t hijo = fork();
        ASSERT_GE(hijo, 0);
        if (hijo == 0) {
            close(tuberia[0]);
            GuardarSinFin(tuberia[1], a_trozos);
        }
        close(tuberia[1]);
        usleep(static_cast<useconds_t>(espera_us(azar)));
        ASSERT_EQ(kill(hijo, SIGKILL), 0);
        int estado = 0;
        ASSERT_EQ(waitpid(hijo, &estado, 0), hijo);
        const std::vector<Informe> informes = LeerInformes(tuberia[0]);
        close(tuberia[0]);
        ASSERT_TRUE(WIFSIGNALED(estado)) << "the saver stopped by itself, status " << estado;
        informadas += static_cast<int>(informes.size());

        // Every reported card is there, whole, under the number reported.
        for (std::size_t i = 0; i < informes.size(); ++i) {
            ASSERT_EQ(informes[i].serie, static_cast<std::int64_t>(i));
            ASSERT_EQ(informes[i].numero, static_cast<std::int64_t>(i) + 1) << "a save failed";
        }
        const auto fichas = prueba::Todas();
        ASSERT_GE(fichas.size(), informes.size());
        ASSERT_LE(fichas.size(), informes.size() + 1);
        enteras_sin_informe += static_cast<int>(fichas.size() - informes.size());
        std::string esperado;
        for (std::size_t i = 0; i < fichas.size(); ++i) {
            store::Ficha ficha = Serie(static_cast<int>(i));
            ficha.Numero = static_cast<std::int64_t>(i) + 1;
            ASSERT_EQ(fichas[i], prueba::Resumir(ficha));
            esperado += store::Linea(ficha);
        }
        // After them, at most the start of the next card.
        const std::string contenido = prueba::Contenido();
        ASSERT_TRUE(contenido.starts_with(esperado));
        store::Ficha siguiente = Serie(static_cast<int>(fichas.size()));
        siguiente.Numero = static_cast<std::int64_t>(fichas.size()) + 1;
        const std::string resto = contenido.substr(esperado.size());
        ASSERT_TRUE(store::Linea(siguiente).starts_with(resto))
            << "after the whole cards: " << ::testing::PrintToString(resto.substr(0, 80));
        ASSERT_LT(resto.size(), store::Linea(siguiente).size());
        cortadas[a_trozos] += resto.empty() ? 0 : 1;

        // The next save is a card of its own, after the one cut short.
        store::Ficha despues = prueba::Tarjeta({"after the kill"});
        const store::Error error = store::GuardarFicha(despues);
        ASSERT_FALSE(error) << error.causa;
        const auto luego = prueba::Todas();
        ASSERT_EQ(luego.size(), fichas.size() + (resto.empty() ? 1 : 2));
        EXPECT_EQ(std::vector(luego.begin(), luego.begin() + fichas.size()), fichas);
        EXPECT_EQ(luego.back(), prueba::Resumir(despues));
        EXPECT_EQ(despues.Numero, static_cast<std::int64_t>(luego.size()));
    }
    std::printf("%d kills in %s: %d cards reported saved, %d whole but unreported, cut short "
                "%d with whole writes and %d with writes of one page\n",
                kMuertes, std::filesystem::current_path().c_str(), informadas, enteras_sin_informe,
                cortadas[0], cortadas[1]);
}

} // namespace
