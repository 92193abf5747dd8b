#include "kgiCharacterServices.h"

#include "kgcMaterial.h"
#include "platform/codepage.h"

#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

kgiCharacterServices* installed = nullptr;

// Materials made while no program table is installed; freed at exit.
std::vector<std::unique_ptr<kgcMaterial>>& ownMaterials()
{
    static std::vector<std::unique_ptr<kgcMaterial>> materials;
    return materials;
}

} // namespace

int kgiCharacterServices::keysMax() const
{
    return INT_MAX;
}

std::string kgiCharacterServices::text(const char* key) const
{
    return key ? key : "";
}

void kgiCharacterServices::showMessage(const std::string& caption, const std::string& text)
{
    platform::printDiagnostic("%s: %s\n", caption.c_str(), text.c_str());
}

bool kgiCharacterServices::askYesNo(const std::string&, const std::string&)
{
    return true;
}

bool kgiCharacterServices::inputText(const kgiInputRequest&, std::string&)
{
    return false;
}

kgcMaterial* kgiCharacterServices::newMaterial()
{
    ownMaterials().push_back(std::make_unique<kgcMaterial>());
    return ownMaterials().back().get();
}

bool kgiCharacterServices::removeMaterial(kgcMaterial* m)
{
    auto& list = ownMaterials();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->get() == m) {
            list.erase(it);
            return true;
        }
    return false;
}

void kgiCharacterServices::setFramesPerSecond(float) {}

void kgiCharacterServices::checkCollisions() {}

kgiCharacterServices& kgiCharacterServices::current()
{
    static kgiCharacterServices defaults;
    return installed ? *installed : defaults;
}

void kgiCharacterServices::install(kgiCharacterServices* s)
{
    installed = s;
}
