#pragma once

namespace app {

// The busy cursor for the life of the object: around every pass over the file.
class Ocupado {
  public:
    Ocupado();
    ~Ocupado();
    Ocupado(const Ocupado&) = delete;
    Ocupado& operator=(const Ocupado&) = delete;
};

} // namespace app
