// The root entity's only behaviour with a body: freeing the picture it owns.
#include "entity/entity.h"

TBaseEntity::~TBaseEntity() {
  if (OwnsImage) FreeSurface(Image);
}
