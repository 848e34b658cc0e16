#include "ayudas.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace prueba {

void EnCarpeta::SetUp() {
    char plantilla[] = "/tmp/folioteca-store-XXXXXX";
    ASSERT_NE(mkdtemp(plantilla), nullptr);
    carpeta_ = plantilla;
    anterior_ = std::filesystem::current_path();
    std::filesystem::current_path(carpeta_);
}

void EnCarpeta::TearDown() {
    std::filesystem::current_path(anterior_);
    std::filesystem::remove_all(carpeta_);
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
    store::LeerFichas(store::kLimiteLista, false, Juntar(fichas));
    return fichas;
}

std::vector<Resumen> TodasDe(std::string_view datos) {
    std::vector<Resumen> fichas;
    store::LeerFichasDe(datos, store::kLimiteLista, false, Juntar(fichas));
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

} // namespace prueba
