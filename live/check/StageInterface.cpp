#include "StageInterface.h"

#include <algorithm>

const Declared* findDeclared(const std::vector<Declared>& declared, const std::string& name) {
    const auto found = std::find_if(declared.begin(), declared.end(),
                                    [&](const Declared& d) { return d.name == name; });
    return found == declared.end() ? nullptr : &*found;
}
