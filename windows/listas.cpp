#include "windows/listas.h"

#include "windows/modelo_filas.h"

#include <QListView>
#include <charconv>

namespace win {

Listas::Listas(const app::Ventana& ventana) {
    constexpr const char* kNombres[] = {"LstAutor", "LstTitulo", "LstEditorial", "LstCodigo",
                                        "LstTema"};
    for (std::size_t i = 0; i < modelos_.size(); ++i) {
        auto* lista = ventana.enlazar<QListView>(kNombres[i]);
        modelos_[i] = new ModeloFilas(lista);
        lista->setModel(modelos_[i]);
    }
}

void Listas::anadir(const store::VistaFicha& ficha) {
    char numero[24];
    char* fin = std::to_chars(numero, numero + sizeof numero - 1, ficha.Numero).ptr;
    *fin++ = ' ';
    modelos_[0]->anadir(std::string_view(numero, static_cast<std::size_t>(fin - numero)),
                        ficha.Autor);
    modelos_[1]->anadir(ficha.Titulo);
    modelos_[2]->anadir(ficha.Editorial);
    modelos_[3]->anadir(ficha.Codigo);
    modelos_[4]->anadir(ficha.Tema);
}

void Listas::publicar() {
    for (ModeloFilas* m : modelos_) {
        m->publicar();
    }
}

} // namespace win
