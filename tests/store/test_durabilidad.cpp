// A save that returns has reached the disk: the power is cut during every
// call of a run of saves, and whatever the disk kept, every card reported
// saved is read back from it.

#include "disco.h"
#include "store/guardar.h"
#include "tests/soporte/fichas.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <vector>

using prueba::Disco;
using prueba::Fila;
using prueba::Tarjeta;

namespace {

constexpr int kGuardados = 3;

store::Ficha Nueva(int i) {
    return Tarjeta(
        {"t" + std::to_string(i), "", "", "", "", "", "", "", "c\r\n" + std::to_string(i)});
}

// Saves up to kGuardados cards until the power goes; the cards reported saved.
std::vector<store::Ficha> GuardarHastaElApagon(Disco& disco) {
    std::vector<store::Ficha> guardadas;
    try {
        for (int i = 0; i < kGuardados; ++i) {
            store::Ficha ficha = Nueva(i);
            const store::Error error = store::GuardarFichaCon(disco, ficha);
            EXPECT_FALSE(error) << error.causa;
            if (!error) {
                guardadas.push_back(ficha);
            }
        }
    } catch (const prueba::Apagon&) {
    }
    return guardadas;
}

TEST(Apagon, EveryCardReportedSavedIsReadBackWhereverThePowerWent) {
    struct Inicio {
        const char* nombre;
        std::optional<std::string> archivo;
    };
    const std::string sin_final = Fila("1");
    const Inicio inicios[] = {
        {"no file yet", std::nullopt},
        {"two cards", Fila("1") + Fila("2")},
        {"a last line without its end", sin_final.substr(0, sin_final.size() - 2)},
    };
    // What of the unsynced bytes the disk had written when the power went.
    constexpr std::size_t kSobrevive[] = {0, 1, 9, std::numeric_limits<std::size_t>::max()};
    int cortes = 0;
    for (const Inicio& inicio : inicios) {
        const std::string original = inicio.archivo.value_or("");
        const std::size_t previas = prueba::TodasDe(original).size();
        for (int llamada = 0;; ++llamada) {
            bool cortado = false;
            for (const std::size_t sobrevive : kSobrevive) {
                SCOPED_TRACE(::testing::Message()
                             << inicio.nombre << ", power cut at call " << llamada << ", "
                             << sobrevive << " unsynced bytes kept");
                Disco disco = inicio.archivo ? Disco(*inicio.archivo) : Disco();
                disco.CortarTras(llamada);
                const std::vector<store::Ficha> guardadas = GuardarHastaElApagon(disco);
                cortado = disco.cortado();
                if (!cortado) {
                    break;
                }
                ++cortes;
                disco.Reiniciar(sobrevive);
                const std::string queda = disco.Archivo().value_or("");
                ASSERT_TRUE(queda.starts_with(original)) << "bytes already on the disk changed";
                const auto fichas = prueba::TodasDe(queda);
                ASSERT_GE(fichas.size(), previas + guardadas.size()) << "a saved card is lost";
                ASSERT_LE(fichas.size(), previas + guardadas.size() + 1);
                for (std::size_t i = 0; i < guardadas.size(); ++i) {
                    EXPECT_EQ(fichas[previas + i], prueba::Resumir(guardadas[i]));
                }

                // The machine goes on: the next save stands on its own and stays.
                store::Ficha despues = Tarjeta({"after"});
                const store::Error error = store::GuardarFichaCon(disco, despues);
                ASSERT_FALSE(error) << error.causa;
                disco.Reiniciar();
                const auto luego = prueba::TodasDe(disco.Archivo().value_or(""));
                ASSERT_GE(luego.size(), fichas.size() + 1);
                EXPECT_EQ(std::vector(luego.begin(), luego.begin() + fichas.size()), fichas);
                EXPECT_EQ(luego.back(), prueba::Resumir(despues));
                EXPECT_EQ(despues.Numero, static_cast<std::int64_t>(luego.size()));
            }
            if (!cortado) {
                break; // the saves ran to their end before the call
            }
        }
    }
    RecordProperty("cortes", cortes);
}

// The layer itself bites: a save that skipped either sync would lose its card.
TEST(Apagon, ASaveThatSkippedASyncWouldLoseItsCard) {
    struct SinSincronizar : Disco {
        using Disco::Disco;
        bool carpeta = false; // which sync is skipped: the directory's or the file's
        int sincronizar(int fd) override {
            struct stat datos {};
            Disco::estado(fd, datos);
            return S_ISDIR(datos.st_mode) == carpeta ? 0 : Disco::sincronizar(fd);
        }
    };
    for (const bool carpeta : {true, false}) {
        SCOPED_TRACE(carpeta ? "the new file's directory not synced" : "the file not synced");
        SinSincronizar disco = carpeta ? SinSincronizar() : SinSincronizar(Fila("1"));
        disco.carpeta = carpeta;
        store::Ficha ficha = Nueva(0);
        ASSERT_FALSE(store::GuardarFichaCon(disco, ficha));
        const std::size_t antes = carpeta ? 0 : 1;
        ASSERT_EQ(prueba::TodasDe(disco.Archivo().value_or("")).size(), antes + 1);
        disco.Reiniciar();
        EXPECT_EQ(prueba::TodasDe(disco.Archivo().value_or("")).size(), antes);
    }
}

} // namespace
