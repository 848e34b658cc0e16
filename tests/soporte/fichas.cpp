#include "tests/soporte/fichas.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace prueba {

DirTemporal::DirTemporal() {
    char plantilla[] = "/tmp/folioteca-XXXXXX";
    if (mkdtemp(plantilla) == nullptr) {
        std::perror("mkdtemp");
        std::abort(); // no test can run without its directory
    }
    ruta_ = plantilla;
    anterior_ = std::filesystem::current_path();
    std::filesystem::current_path(ruta_);
}

DirTemporal::~DirTemporal() {
    std::filesystem::current_path(anterior_);
    std::error_code ec;
    std::filesystem::remove_all(ruta_, ec);
}

void Escribir(std::string_view bytes, const std::filesystem::path& nombre) {
    std::ofstream salida(nombre, std::ios::binary | std::ios::trunc);
    salida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(salida.good()) << nombre;
}

std::string Contenido(const std::filesystem::path& nombre) {
    std::ifstream entrada(nombre, std::ios::binary);
    return {std::istreambuf_iterator<char>(entrada), std::istreambuf_iterator<char>()};
}

Resumen Resumir(const store::Ficha& ficha) {
    Resumen r{std::to_string(ficha.Numero)};
    for (const auto campo : store::kCampos) {
        r.emplace_back(ficha.*campo);
    }
    return r;
}

Resumen Resumir(const store::VistaFicha& ficha) {
    return Resumir(store::Copiar(ficha));
}

Resumen R(std::int64_t numero, std::vector<std::string> textos) {
    textos.resize(9);
    textos.insert(textos.begin(), std::to_string(numero));
    return textos;
}

std::string Fila(std::string_view numero, std::string_view titulo) {
    std::string fila(numero);
    fila += ",\"";
    fila += titulo;
    fila += '"';
    for (int i = 0; i < 8; ++i) {
        fila += ",\"\"";
    }
    return fila + "\r\n";
}

static store::PasoPorFicha Juntar(std::vector<Resumen>& fichas) {
    return [&fichas](const store::VistaFicha& ficha) {
        fichas.push_back(Resumir(ficha));
        return store::Paso::Seguir;
    };
}

std::vector<Resumen> Todas() {
    std::vector<Resumen> fichas;
    store::LeerFichas(store::kLimitePaseDeLista, store::Contador::Olvidar, Juntar(fichas));
    return fichas;
}

std::vector<Resumen> TodasDe(std::string_view datos) {
    std::vector<Resumen> fichas;
    store::LeerFichasDe(datos, store::kLimitePaseDeLista, store::Contador::Olvidar, Juntar(fichas));
    return fichas;
}

store::Ficha Tarjeta(std::vector<std::string> textos, std::int64_t numero) {
    textos.resize(9);
    store::Ficha ficha;
    ficha.Numero = numero;
    for (int i = 0; i < 9; ++i) {
        ficha.*store::kCampos[i] = textos[static_cast<std::size_t>(i)];
    }
    return ficha;
}

ssize_t ATrozos::escribir(int fd, const void* datos, std::size_t largo) {
    const ssize_t n = Archivos::escribir(fd, datos, std::min<std::size_t>(largo, 4096));
    std::this_thread::sleep_for(pausa);
    return n;
}

namespace {

int tuberia_del_hijo = -1;   // where a child writes why it skips
constexpr int kSaltado = 77; // a child's exit status when it skips

} // namespace

bool EnHijo(const std::function<void()>& cuerpo) {
    int tuberia[2];
    if (pipe(tuberia) != 0) {
        ADD_FAILURE() << "pipe failed";
        return false;
    }
    std::fflush(nullptr); // nothing buffered is printed twice
    const pid_t hijo = fork();
    if (hijo < 0) {
        ADD_FAILURE() << "fork failed";
        return false;
    }
    if (hijo == 0) {
        close(tuberia[0]);
        tuberia_del_hijo = tuberia[1];
        cuerpo();
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    close(tuberia[1]);
    std::string motivo;
    char trozo[256];
    for (ssize_t n; (n = read(tuberia[0], trozo, sizeof trozo)) != 0;) {
        if (n > 0) {
            motivo.append(trozo, static_cast<std::size_t>(n));
        } else if (errno != EINTR) {
            break;
        }
    }
    close(tuberia[0]);
    int estado = 0;
    while (waitpid(hijo, &estado, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(estado) && WEXITSTATUS(estado) == kSaltado) {
        [&] { GTEST_SKIP() << motivo; }();
        return false;
    }
    EXPECT_TRUE(WIFEXITED(estado) && WEXITSTATUS(estado) == 0)
        << "the child failed (see above), status " << estado;
    return true;
}

void Saltar(const std::string& motivo) {
    if (write(tuberia_del_hijo, motivo.data(), motivo.size()) < 0) {
        // The parent skips all the same, with no reason shown.
    }
    std::fflush(nullptr);
    _exit(kSaltado);
}

} // namespace prueba
