#include "kgiAppServices.h"

#include "kgiApp.h"
#include "kgiCollisionCheck.h"
#include "kgiLangKeys.h"
#include "kgiMessage.h"
#include "kgiNarrowString.h"
#include "kgiTables.h"
#include "kgiWorld.h"

int kgiAppServices::keysMax() const
{
    return app->getSettings().keysMax;
}

std::string kgiAppServices::text(const char* key) const
{
    return kgiNarrowString::toNarrowText(app->languageText(key ? key : ""));
}

void kgiAppServices::showMessage(const std::string& caption, const std::string& text)
{
    ::showMessage(caption, text);
}

bool kgiAppServices::askYesNo(const std::string& caption, const std::string& text)
{
    return ::askYesNo(caption, text);
}

bool kgiAppServices::inputText(const kgiInputRequest& request, std::string& text)
{
    return ::inputText(request.owner, request.caption, request.prompt, request.preset, request.x, request.y,
                       request.placement, text, this->text(kgiLangKey::ROBOT_COM_Wr_ViolationCharacter),
                       this->text(kgiLangKey::Wr_Name_Code_Page));
}

kgcMaterial* kgiAppServices::newMaterial()
{
    return kgiMaterialTable::instance()->create();
}

bool kgiAppServices::removeMaterial(kgcMaterial* m)
{
    return kgiMaterialTable::instance()->remove(m);
}

void kgiAppServices::setFramesPerSecond(float fps)
{
    kgiWorld::instance()->setFps(fps);
}

void kgiAppServices::checkCollisions()
{
    kgiCollisionCheck::instance()->check();
}
