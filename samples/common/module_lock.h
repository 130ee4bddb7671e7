// How long the module must stay loaded: every live object, every class
// factory reference and every IClassFactory::LockServer lock holds it.
#pragma once

void LockModule();
void UnlockModule();
bool ModuleInUse();
