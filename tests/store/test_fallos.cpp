// Failed saves leave the file as it was and say why; the program goes on.

#include "tests/soporte/fichas.h"

#include "store/archivos.h"
#include "store/guardar.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

using prueba::Contenido;
using prueba::Fila;
using prueba::Tarjeta;

namespace {

// The real calls, failing where a test asks.
struct Averiado : store::Archivos {
    int error_al_abrir = 0; // for fichas.dat, not the directory
    int error_al_bloquear = 0;
    int lectura_que_falla = -1;               // counting from 0; it fails with EIO
    std::size_t lee_a_lo_sumo = 0;            // when not 0, each read gives at most this many bytes
    std::optional<std::size_t> escribir_solo; // bytes that reach the file before writes fail
    bool cuenta_corta = true; // the call that stops reports the bytes; the next one fails
    int error_al_escribir = ENOSPC;
    int sincronizacion_que_falla = -1; // 0 the file, 1 the directory of a new file
    int error_al_sincronizar = EIO;
    int interrupciones =
        0; // each of opening, locking, reading and writing is interrupted this often
    std::size_t tramo = 0; // when not 0, each write takes at most this many bytes

    std::size_t escritos = 0;
    std::optional<off_t> largo_al_fallar; // the file's size when a write failed
    int sincronizaciones = 0;

    int abrir(const char* nombre, int modo, mode_t permisos) override {
        if (Interrumpir(abrir_)) {
            return -1;
        }
        if (error_al_abrir != 0 && std::strcmp(nombre, store::kNombreArchivo) == 0) {
            errno = error_al_abrir;
            return -1;
        }
        return Archivos::abrir(nombre, modo, permisos);
    }
    int bloquear(int fd, int operacion) override {
        if (Interrumpir(bloquear_)) {
            return -1;
        }
        if (error_al_bloquear != 0) {
            errno = error_al_bloquear;
            return -1;
        }
        return Archivos::bloquear(fd, operacion);
    }
    ssize_t leer(int fd, void* destino, std::size_t largo, off_t desde) override {
        if (Interrumpir(leer_)) {
            return -1;
        }
        if (lecturas_++ == lectura_que_falla) {
            errno = EIO;
            return -1;
        }
        return Archivos::leer(fd, destino,
                              lee_a_lo_sumo != 0 ? std::min(largo, lee_a_lo_sumo) : largo, desde);
    }
    ssize_t escribir(int fd, const void* datos, std::size_t largo) override {
        if (Interrumpir(escribir_)) {
            return -1;
        }
        if (!escribir_solo) {
            return Archivos::escribir(fd, datos, tramo != 0 ? std::min(largo, tramo) : largo);
        }
        const std::size_t n = std::min(largo, *escribir_solo - escritos);
        if (n > 0) {
            EXPECT_EQ(Archivos::escribir(fd, datos, n), static_cast<ssize_t>(n));
            escritos += n;
            if (cuenta_corta) {
                return static_cast<ssize_t>(n);
            }
        }
        struct stat datos_archivo {};
        Archivos::estado(fd, datos_archivo);
        largo_al_fallar = datos_archivo.st_size;
        errno = error_al_escribir;
        return -1;
    }
    int sincronizar(int fd) override {
        if (sincronizaciones++ == sincronizacion_que_falla) {
            errno = error_al_sincronizar;
            return -1;
        }
        return Archivos::sincronizar(fd);
    }

  private:
    bool Interrumpir(int& veces) {
        if (veces < interrupciones) {
            ++veces;
            errno = EINTR;
            return true;
        }
        return false;
    }
    int abrir_ = 0, bloquear_ = 0, leer_ = 0, escribir_ = 0;
    int lecturas_ = 0;
};

class Fallo : public prueba::EnCarpeta {
  protected:
    // Saves `ficha` and expects the failure `codigo` with nothing changed.
    void FallaSinTocarNada(store::Archivos& archivos, int codigo) {
        namespace fs = std::filesystem;
        const bool existia = fs::exists(fs::symlink_status("fichas.dat"));
        const bool regular = fs::is_regular_file(fs::symlink_status("fichas.dat"));
        const std::string antes = regular ? Contenido() : "";
        store::Ficha ficha = Tarjeta({"typed", "", "", "", "", "", "", "", "kept"}, 55);
        const store::Ficha copia = ficha;
        const store::Error error = store::GuardarFichaCon(archivos, ficha);
        EXPECT_EQ(error.codigo, codigo) << error.causa;
        EXPECT_FALSE(error.causa.empty());
        EXPECT_EQ(prueba::Resumir(ficha), prueba::Resumir(copia)) << "the card must stay as typed";
        EXPECT_EQ(fs::exists(fs::symlink_status("fichas.dat")), existia);
        EXPECT_EQ(fs::is_regular_file(fs::symlink_status("fichas.dat")), regular);
        if (regular) {
            EXPECT_EQ(Contenido(), antes);
        }
    }
};

TEST_F(Fallo, ADirectoryNamedFichasDatIsNeitherReadNorWritten) {
    ASSERT_EQ(mkdir("fichas.dat", 0777), 0);
    store::Ficha ficha = Tarjeta({"a"});
    const store::Error error = store::GuardarFicha(ficha);
    EXPECT_EQ(error.codigo, EISDIR);
    EXPECT_EQ(error.causa, "fichas.dat es una carpeta.");
    EXPECT_TRUE(std::filesystem::is_empty("fichas.dat"));
    EXPECT_TRUE(prueba::Todas().empty());
    EXPECT_EQ(store::SiguienteNumero(), 1);
}

TEST_F(Fallo, AFullDiskIsReportedAndNothingChanges) {
    ASSERT_EQ(symlink("/dev/full", "fichas.dat"), 0);
    store::Archivos sistema;
    FallaSinTocarNada(sistema, ENOSPC);
    store::Ficha ficha = Tarjeta({"a"});
    EXPECT_EQ(store::GuardarFicha(ficha).causa, "No queda espacio en el disco.");
    EXPECT_EQ(std::filesystem::read_symlink("fichas.dat"), "/dev/full");
    EXPECT_TRUE(prueba::Todas().empty()); // a device is not read: it would never end
}

TEST_F(Fallo, AWriteThatStopsAnywhereInTheLineIsUndone) {
    for (const bool con_final : {true, false}) {
        for (const bool cuenta_corta : {true, false}) {
            for (const int codigo : {ENOSPC, EIO}) {
                const std::string antes = Fila("1") + Fila("2");
                const std::string archivo = con_final ? antes : antes.substr(0, antes.size() - 2);
                store::Ficha tercera = Tarjeta({"typed", "", "", "", "", "", "", "", "kept"}, 3);
                const std::size_t largo = store::Linea(tercera).size() + (con_final ? 0 : 2);
                for (std::size_t n = 0; n < largo; ++n) {
                    SCOPED_TRACE(::testing::Message()
                                 << (con_final ? "" : "no final line end, ")
                                 << (cuenta_corta ? "short write" : "failed write") << " after "
                                 << n << " bytes, errno " << codigo);
                    prueba::Escribir(archivo);
                    Averiado averiado;
                    averiado.escribir_solo = n;
                    averiado.cuenta_corta = cuenta_corta;
                    averiado.error_al_escribir = codigo;
                    FallaSinTocarNada(averiado, codigo);
                    ASSERT_EQ(averiado.largo_al_fallar, static_cast<off_t>(archivo.size() + n))
                        << "the fault did not strike where it should";
                }
            }
        }
    }
    // The next save simply works.
    store::Ficha ficha = Tarjeta({"retry"});
    ASSERT_FALSE(store::GuardarFicha(ficha));
    EXPECT_EQ(ficha.Numero, 3);
}

TEST_F(Fallo, AFailedSyncIsReportedAndTheCardTakenBack) {
    prueba::Escribir(Fila("1"));
    Averiado averiado;
    averiado.sincronizacion_que_falla = 0;
    FallaSinTocarNada(averiado, EIO);
    EXPECT_EQ(averiado.sincronizaciones, 1) << "a failed sync must not be retried";
}

TEST_F(Fallo, AFailedFirstSaveLeavesNoFileBehind) {
    struct Caso {
        const char* como;
        int sincronizacion_que_falla;
        std::optional<std::size_t> escribir_solo;
        int codigo;
    };
    for (const Caso& caso : {Caso{"the write", -1, 5, ENOSPC}, Caso{"the file's sync", 0, {}, EIO},
                             Caso{"the directory's sync", 1, {}, EIO}}) {
        SCOPED_TRACE(caso.como);
        Averiado averiado;
        averiado.sincronizacion_que_falla = caso.sincronizacion_que_falla;
        averiado.escribir_solo = caso.escribir_solo;
        averiado.error_al_escribir = caso.codigo;
        FallaSinTocarNada(averiado, caso.codigo);
    }
}

TEST_F(Fallo, AReadErrorUnderTheLockStopsTheSave) {
    // Guessing the number from part of the file could repeat one.
    prueba::Escribir(Fila("1") + Fila("2"));
    Averiado averiado;
    averiado.lee_a_lo_sumo = 40; // the first read holds card 1 only
    averiado.lectura_que_falla = 1;
    FallaSinTocarNada(averiado, EIO);
}

TEST_F(Fallo, ALockThatCannotBeTakenStopsTheSave) {
    prueba::Escribir(Fila("1"));
    Averiado averiado;
    averiado.error_al_bloquear = ENOLCK;
    FallaSinTocarNada(averiado, ENOLCK);
}

TEST_F(Fallo, ASaveWaitingOnAFailedFirstSaveWritesIntoTheFileItMakesAnew) {
    // The second save tells when it holds a descriptor of the file the first made.
    struct Segundo : store::Archivos {
        std::promise<void> abierto;
        bool avisado = false;
        int abrir(const char* nombre, int modo, mode_t permisos) override {
            const int fd = Archivos::abrir(nombre, modo, permisos);
            if (fd >= 0 && !avisado && std::strcmp(nombre, store::kNombreArchivo) == 0) {
                avisado = true;
                abierto.set_value();
            }
            return fd;
        }
    } segundo;
    // The first, holding the lock on the file it has just made, waits for the
    // second to open it and then fails its write.
    struct Primero : store::Archivos {
        std::function<void()> antes_de_fallar;
        ssize_t escribir(int, const void*, std::size_t) override {
            antes_de_fallar();
            errno = ENOSPC;
            return -1;
        }
    } primero;
    store::Ficha otra = Tarjeta({"second"});
    store::Error error_otra{-1, "not run"};
    std::thread hilo;
    auto abierto = segundo.abierto.get_future();
    primero.antes_de_fallar = [&] {
        hilo = std::thread([&] { error_otra = store::GuardarFichaCon(segundo, otra); });
        // Bounded only so that a broken save cannot hang the whole run.
        ASSERT_EQ(abierto.wait_for(std::chrono::seconds(60)), std::future_status::ready);
    };
    store::Ficha ficha = Tarjeta({"first"});
    EXPECT_EQ(store::GuardarFichaCon(primero, ficha).codigo, ENOSPC);
    ASSERT_TRUE(hilo.joinable());
    hilo.join();
    EXPECT_FALSE(error_otra) << error_otra.causa;
    EXPECT_EQ(otra.Numero, 1);
    EXPECT_EQ(Contenido(), store::Linea(otra)) << "the second card went into the removed file";
}

TEST_F(Fallo, EachCauseHasItsSentence) {
    struct Caso {
        int codigo;
        std::string causa;
    };
    const Caso casos[] = {
        {EACCES, "No tiene permiso para escribir en fichas.dat."},
        {EPERM, "No tiene permiso para escribir en fichas.dat."},
        {EROFS, "El disco es de solo lectura."},
        {ENOSPC, "No queda espacio en el disco."},
        {EDQUOT, "No queda espacio en el disco."},
        {EISDIR, "fichas.dat es una carpeta."},
        {EIO, "Error de entrada o salida del disco."},
        {ENAMETOOLONG, std::strerror(ENAMETOOLONG)},
    };
    prueba::Escribir(Fila("1"));
    for (const Caso& caso : casos) {
        Averiado averiado;
        averiado.error_al_abrir = caso.codigo;
        store::Ficha ficha = Tarjeta({"a"});
        const store::Error error = store::GuardarFichaCon(averiado, ficha);
        EXPECT_EQ(error.codigo, caso.codigo);
        EXPECT_EQ(error.causa, caso.causa);
    }
    EXPECT_EQ(Contenido(), Fila("1"));
}

TEST_F(Fallo, InterruptedCallsAndShortWritesAreCarriedOn) {
    prueba::Escribir(Fila("1"));
    Averiado averiado;
    averiado.interrupciones = 2;
    averiado.tramo = 7;
    store::Ficha ficha = Tarjeta({"a", "b, c", "", "", "", "", "", "", "d\r\ne"});
    const store::Error error = store::GuardarFichaCon(averiado, ficha);
    ASSERT_FALSE(error) << error.causa;
    EXPECT_EQ(ficha.Numero, 2);
    EXPECT_EQ(Contenido(), Fila("1") + store::Linea(ficha));
}

// The real calls, counting the bytes that reach the file.
struct Medido : store::Archivos {
    std::size_t escritos = 0;
    ssize_t escribir(int fd, const void* datos, std::size_t largo) override {
        const ssize_t n = Archivos::escribir(fd, datos, largo);
        escritos += n > 0 ? static_cast<std::size_t>(n) : 0;
        return n;
    }
};

// Writes to `nombre` until the disk is full.
void Llenar(const char* nombre) {
    const int fd = open(nombre, O_WRONLY | O_CREAT | O_APPEND, 0644);
    ASSERT_GE(fd, 0);
    const std::string bloque(4096, 'r');
    while (write(fd, bloque.data(), bloque.size()) > 0) {
    }
    EXPECT_EQ(errno, ENOSPC);
    close(fd);
}

std::uint64_t BloquesLibres() {
    struct statvfs datos {};
    EXPECT_EQ(statvfs(".", &datos), 0);
    return datos.f_bfree;
}

// A full disk for real: a 64 KiB tmpfs of the test's own, mounted in a private
// mount namespace, filled but for two pages. The kernel takes what fits of a
// long line and refuses the rest; the save cuts the file back.
TEST_F(Fallo, AFullSmallDiskTakesPartOfTheLineAndTheSaveCutsItBack) {
    prueba::EnHijo([] {
        const auto sin = [](const char* que) {
            prueba::Saltar(std::string("a tmpfs of its own needs a private mount namespace, not "
                                       "allowed here: ") +
                           que + ": " + std::strerror(errno));
        };
        if (unshare(CLONE_NEWNS) != 0) {
            sin("unshare(CLONE_NEWNS)");
        }
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            sin("making / private");
        }
        ASSERT_EQ(mkdir("disco", 0755), 0);
        if (mount("folioteca", "disco", "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0) {
            sin("mount tmpfs size=64k");
        }
        ASSERT_EQ(chdir("disco"), 0);
        for (int i = 0; i < 3; ++i) {
            store::Ficha ficha = Tarjeta({"t" + std::to_string(i)});
            ASSERT_FALSE(store::GuardarFicha(ficha));
        }
        Llenar("relleno");
        ASSERT_EQ(
            truncate("relleno", static_cast<off_t>(std::filesystem::file_size("relleno")) - 8192),
            0);

        int cortadas = 0, guardadas = 0;
        for (const std::size_t largo : {1, 1000, 3000, 5000, 7000, 9000, 12000, 20000, 40000}) {
            SCOPED_TRACE("comment of " + std::to_string(largo) + " bytes");
            const std::string antes = Contenido();
            const std::uint64_t libres = BloquesLibres();
            store::Ficha ficha =
                Tarjeta({"big", "", "", "", "", "", "", "", std::string(largo, 'c')});
            Medido medido;
            const store::Error error = store::GuardarFichaCon(medido, ficha);
            if (!error) {
                ++guardadas;
                EXPECT_EQ(Contenido(), antes + store::Linea(ficha));
                continue;
            }
            EXPECT_EQ(error.codigo, ENOSPC) << error.causa;
            EXPECT_EQ(Contenido(), antes);
            EXPECT_EQ(BloquesLibres(), libres) << "the pages of the cut line were not given back";
            cortadas += medido.escritos > 0 ? 1 : 0;
        }
        EXPECT_GT(guardadas, 0);
        EXPECT_GT(cortadas, 0) << "no line was taken in part: the disk was not nearly full";

        // The first card on a disk full to the brim leaves no file behind.
        ASSERT_EQ(unlink("fichas.dat"), 0);
        Llenar("relleno");
        store::Ficha ficha = Tarjeta({"first", "", "", "", "", "", "", "", std::string(9000, 'c')});
        EXPECT_EQ(store::GuardarFicha(ficha).codigo, ENOSPC);
        EXPECT_FALSE(std::filesystem::exists("fichas.dat"));
    });
}

// Counts this process's open descriptors.
std::size_t Abiertos() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

TEST_F(Fallo, NoDescriptorOutlivesAPassOrASave) {
    const std::size_t antes = Abiertos();
    store::Ficha ficha = Tarjeta({"a"});
    ASSERT_FALSE(store::GuardarFicha(ficha));
    ASSERT_FALSE(store::GuardarFicha(ficha));
    prueba::Todas();
    store::SiguienteNumero();
    EXPECT_THROW(store::LeerFichas(store::kLimitePaseDeLista, store::Contador::Olvidar,
                                   [](const store::VistaFicha&) -> store::Paso {
                                       throw std::runtime_error("step");
                                   }),
                 std::runtime_error);
    Averiado averiado;
    averiado.escribir_solo = 3;
    EXPECT_TRUE(store::GuardarFichaCon(averiado, ficha));
    EXPECT_EQ(Abiertos(), antes);
    ASSERT_EQ(std::filesystem::remove("fichas.dat"), true);
    ASSERT_EQ(mkdir("fichas.dat", 0777), 0);
    EXPECT_TRUE(store::GuardarFicha(ficha));
    prueba::Todas();
    EXPECT_EQ(Abiertos(), antes);
}

} // namespace
