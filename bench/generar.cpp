// generar_fichas N FILE: writes a catalogue of N cards numbered 1 to N, the
// same bytes for the same N on every machine (own random generator, no
// library distributions). Each card is one store::Linea, so the syntax is
// exactly the program's. About 145 bytes a card; one card in three has a
// comment on two lines; some comments hold a double quote (written doubled).
//
// Search words (see comun.h), each in about a tenth of the cards and only in
// its own field: "laberinto" in titles, "Quiroga" in authors, "Alborada" in
// publishers, "DEP" in codes, "Astronomía" in subjects; "Zurbarqui" nowhere.
//
// generar_fichas --palabras prints "field<TAB>word" lines, Windows-1252, the
// last one "ninguna<TAB>word", for scripts that search the same words.

#include "bench/comun.h"
#include "store/ficha.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// splitmix64: tiny, fast and fully specified, unlike std distributions.
class Azar {
  public:
    explicit Azar(std::uint64_t semilla) : estado_(semilla) {}
    std::uint64_t siguiente() {
        std::uint64_t z = (estado_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    std::size_t menor(std::size_t n) { return static_cast<std::size_t>(siguiente() % n); }
    bool uno_de(std::size_t n) { return menor(n) == 0; }
    template <class T, std::size_t N> const T& de(const std::array<T, N>& lista) {
        return lista[menor(N)];
    }

  private:
    std::uint64_t estado_;
};

struct Sustantivo {
    const char* palabra;
    bool femenino;
};
constexpr std::array<Sustantivo, 32> kSustantivos{{
    {"casa", true},     {"sombra", true},  {"río", false},       {"jardín", false},
    {"ciudad", true},   {"camino", false}, {"memoria", true},    {"silencio", false},
    {"viento", false},  {"noche", true},   {"corazón", false},   {"isla", true},
    {"mar", false},     {"tiempo", false}, {"montaña", true},    {"puerta", true},
    {"espejo", false},  {"otoño", false},  {"árbol", false},     {"luz", true},
    {"pájaro", false},  {"guerra", true},  {"sueño", false},     {"niña", true},
    {"capitán", false}, {"tren", false},   {"biblioteca", true}, {"huerta", true},
    {"lámpara", true},  {"campana", true}, {"molino", false},    {"frontera", true},
}};
struct Adjetivo {
    const char* masculino;
    const char* femenino;
};
constexpr std::array<Adjetivo, 14> kAdjetivos{{
    {"oscuro", "oscura"},
    {"perdido", "perdida"},
    {"blanco", "blanca"},
    {"último", "última"},
    {"antiguo", "antigua"},
    {"dormido", "dormida"},
    {"secreto", "secreta"},
    {"lejano", "lejana"},
    {"pequeño", "pequeña"},
    {"dorado", "dorada"},
    {"callado", "callada"},
    {"olvidado", "olvidada"},
    {"pálido", "pálida"},
    {"sombrío", "sombría"},
}};
constexpr std::array<const char*, 20> kLugares{
    "Castilla", "Sevilla", "Galicia", "los Andes", "Córdoba",  "Cádiz",  "Salamanca",
    "Aragón",   "León",    "Navarra", "la Mancha", "Asturias", "Málaga", "Cuenca",
    "Ávila",    "Jaén",    "Almería", "Toledo",    "Cáceres",  "Logroño"};
constexpr std::array<const char*, 28> kNombres{
    "José",   "María",    "Ángel",  "Inés",    "Ramón", "Joaquín",  "Begoña",
    "Lucía",  "Andrés",   "Carmen", "Julián",  "Sofía", "Tomás",    "Águeda",
    "Rosa",   "Fernando", "Elena",  "Martín",  "Nuria", "Jesús",    "Mónica",
    "Adrián", "Pilar",    "Óscar",  "Dolores", "Rubén", "Asunción", "Iñigo"};
constexpr std::array<const char*, 32> kApellidos{
    "Núñez",     "Muñoz",     "Peña",      "Ibáñez",   "Gómez",   "Martínez", "López",   "Sánchez",
    "Pérez",     "Rodríguez", "Fernández", "González", "Díaz",    "Álvarez",  "Jiménez", "Ruiz",
    "Hernández", "Domínguez", "Vázquez",   "Castaño",  "Ortuño",  "Moreno",   "Romero",  "Navarro",
    "Serrano",   "Molina",    "Cortés",    "Gil",      "Garrido", "Calderón", "Herrera", "Lozano"};
constexpr std::array<const char*, 18> kEditoriales{
    "Ediciones Peñalara",  "Editorial Campoamor",   "Librería Ibérica",
    "Ediciones Cántabras", "Editorial Tres Ríos",   "Ediciones Alcázar",
    "Editorial Nébula",    "Ediciones La Almudena", "Editorial Lucero",
    "Imprenta Montañés",   "Ediciones del Júcar",   "Editorial Añil",
    "Ediciones Mirador",   "Editorial Océano Gris", "Ediciones Ría de Vigo",
    "Tipografía Católica", "Editorial Cigüeña",     "Ediciones El Candil"};
struct Tema {
    const char* nombre;
    const char* prefijo; // of the book's code
};
constexpr std::array<Tema, 18> kTemas{{
    {"Novela", "NOV"},
    {"Poesía", "POE"},
    {"Historia de España", "HIS"},
    {"Filosofía", "FIL"},
    {"Ciencias naturales", "CIE"},
    {"Cocina", "COC"},
    {"Viajes", "VIA"},
    {"Biografía", "BIO"},
    {"Teatro", "TEA"},
    {"Arte", "ART"},
    {"Música", "MUS"},
    {"Religión", "REL"},
    {"Derecho", "DER"},
    {"Economía", "ECO"},
    {"Geografía", "GEO"},
    {"Literatura infantil", "INF"},
    {"Ensayo", "ENS"},
    {"Matemáticas", "MAT"},
}};
constexpr std::array<const char*, 12> kMeses{"enero",      "febrero", "marzo",     "abril",
                                             "mayo",       "junio",   "julio",     "agosto",
                                             "septiembre", "octubre", "noviembre", "diciembre"};
constexpr std::array<const char*, 16> kNotas{
    "Ejemplar dedicado por el autor.",
    "Encuadernación en tela, lomo algo gastado.",
    "Primera edición.",
    "Donación de la familia Ortega, 1998.",
    "Falta la sobrecubierta.",
    "Subrayados a lápiz en las primeras páginas.",
    "Precio de compra: 12 €.",
    "Prestado con frecuencia; revisar el estado.",
    "Ilustraciones en color de la época.",
    "Traducción revisada — ver el prólogo.",
    "Sello de la antigua biblioteca parroquial.",
    "Guardar en la vitrina del fondo.",
    "Nota del donante: \"muy querido\".",
    "Manchas de humedad en la cubierta…",
    "Índice incompleto al final.",
    "Regalo de ¡la clase de 1985!",
};

std::string Mayuscula(std::string s) {
    if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') {
        s[0] = static_cast<char>(s[0] - 'a' + 'A');
    } else if (s.rfind("á", 0) == 0) {
        s.replace(0, 2, "Á");
    }
    return s;
}

std::string ConArticulo(const Sustantivo& s) {
    return (s.femenino ? "la " : "el ") + std::string(s.palabra);
}
// "del río", "de la casa"
std::string De(const Sustantivo& s) {
    return (s.femenino ? "de la " : "del ") + std::string(s.palabra);
}
const char* Concordar(const Adjetivo& a, const Sustantivo& s) {
    return s.femenino ? a.femenino : a.masculino;
}

std::string Titulo(Azar& azar, bool marcado) {
    const Sustantivo& n = azar.de(kSustantivos);
    const Sustantivo& m = azar.de(kSustantivos);
    const Adjetivo& a = azar.de(kAdjetivos);
    const std::string na = std::string(n.palabra) + " " + Concordar(a, n);
    if (marcado) {
        switch (azar.menor(3)) {
        case 0:
            return std::string("El laberinto de ") + azar.de(kLugares);
        case 1:
            return Mayuscula(ConArticulo(n)) + " " + Concordar(a, n) + " del laberinto";
        default:
            return "Regreso al laberinto " + std::string(a.masculino);
        }
    }
    switch (azar.menor(10)) {
    case 0:
        return Mayuscula(ConArticulo(n)) + " " + Concordar(a, n);
    case 1:
        return Mayuscula(n.palabra) + " y " + m.palabra;
    case 2:
        return std::string("Historia de ") + azar.de(kLugares);
    case 3:
        return std::string("Cartas desde ") + azar.de(kLugares);
    case 4:
        return "Crónica " + De(n) + " " + Concordar(a, n);
    case 5:
        return "¿Dónde está " + ConArticulo(n) + "?";
    case 6:
        return std::string("Memorias de ") + (n.femenino ? "una " : "un ") + na;
    case 7:
        return "Cien años " + De(n);
    case 8:
        return (n.femenino ? "Viaje a la " : "Viaje al ") + na;
    default:
        return "Breve tratado sobre " + ConArticulo(n);
    }
}

std::string Autor(Azar& azar, bool marcado) {
    std::string autor = azar.de(kNombres);
    autor += ' ';
    autor += marcado ? "Quiroga" : azar.de(kApellidos);
    if (!azar.uno_de(3)) {
        autor += ' ';
        autor += azar.de(kApellidos);
    }
    return autor;
}

std::string Numero(std::uint64_t n, int cifras = 0) {
    char b[24];
    const auto fin = std::to_chars(b, b + sizeof b, n).ptr;
    std::string s(b, fin);
    if (static_cast<int>(s.size()) < cifras) {
        s.insert(0, static_cast<std::size_t>(cifras) - s.size(), '0');
    }
    return s;
}

std::string Comentario(Azar& azar) {
    switch (azar.menor(9)) {
    case 0:
    case 1:
    case 2: {
        const char* a = azar.de(kNotas);
        const char* b = azar.de(kNotas);
        return std::string(a) + "\r\n" + b; // a comment typed on two lines
    }
    case 3:
        return azar.de(kNotas);
    default:
        return {};
    }
}

store::Ficha Generar(Azar& azar, std::int64_t numero, std::array<std::int64_t, 5>& marcas) {
    std::array<bool, 5> marca{};
    for (std::size_t i = 0; i < marca.size(); ++i) {
        marca[i] = azar.uno_de(10);
        marcas[i] += marca[i];
    }
    const Tema& tema = azar.de(kTemas);
    store::Ficha f;
    f.Numero = numero;
    f.Titulo = Titulo(azar, marca[0]);
    f.Autor = Autor(azar, marca[1]);
    f.Editorial = marca[2] ? "Ediciones Alborada" : azar.de(kEditoriales);
    const std::uint64_t anio = 1900 + azar.menor(124);
    f.Fecha = azar.uno_de(10) ? std::string(azar.de(kMeses)) + " de " + Numero(anio) : Numero(anio);
    f.Paginas = Numero(48 + azar.menor(900));
    f.Copias = Numero(1 + azar.menor(3));
    f.Codigo = std::string(marca[4] ? "AST" : tema.prefijo) + "-" + Numero(azar.menor(100000), 5);
    if (marca[3]) {
        f.Codigo += "-DEP";
    }
    f.Tema = marca[4] ? "Astronomía" : tema.nombre;
    f.Comentario = Comentario(azar);
    for (const auto campo : store::kCampos) {
        f.*campo = banco::Cp1252(f.*campo);
    }
    return f;
}

int Palabras() {
    for (const auto& p : banco::kPalabras) {
        std::printf("%s\t%s\n", p.campo, banco::Cp1252(p.palabra).c_str());
    }
    std::printf("ninguna\t%s\n", banco::Cp1252(banco::kNinguna).c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string_view(argv[1]) == "--palabras") {
        return Palabras();
    }
    std::int64_t n = -1;
    if (argc == 3) {
        const std::string_view s = argv[1];
        if (std::from_chars(s.data(), s.data() + s.size(), n).ptr != s.data() + s.size()) {
            n = -1;
        }
    }
    if (n < 0) {
        std::fprintf(stderr, "uso: generar_fichas N FICHERO | generar_fichas --palabras\n");
        return 2;
    }
    const std::filesystem::path ruta = argv[2];
    if (ruta.has_parent_path()) {
        std::filesystem::create_directories(ruta.parent_path());
    }
    std::FILE* salida = std::fopen(argv[2], "wb");
    if (salida == nullptr) {
        std::perror(argv[2]);
        return 1;
    }
    Azar azar(20240611);
    std::array<std::int64_t, 5> marcas{};
    std::string bloque;
    std::uint64_t bytes = 0;
    for (std::int64_t i = 1; i <= n; ++i) {
        bloque += store::Linea(Generar(azar, i, marcas));
        if (bloque.size() >= (1u << 20) || i == n) {
            if (std::fwrite(bloque.data(), 1, bloque.size(), salida) != bloque.size()) {
                std::perror(argv[2]);
                return 1;
            }
            bytes += bloque.size();
            bloque.clear();
        }
    }
    if (std::fclose(salida) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    std::fprintf(stderr, "%lld fichas, %llu bytes (%.1f por ficha); con su palabra:",
                 static_cast<long long>(n), static_cast<unsigned long long>(bytes),
                 n > 0 ? static_cast<double>(bytes) / static_cast<double>(n) : 0.0);
    for (std::size_t i = 0; i < marcas.size(); ++i) {
        std::fprintf(stderr, " %s %lld", banco::kPalabras[i].campo,
                     static_cast<long long>(marcas[i]));
    }
    std::fprintf(stderr, "\n");
    return 0;
}
