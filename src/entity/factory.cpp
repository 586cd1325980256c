// The agent's entity factory. Effect kinds arrive with the sprite and text entities;
// until a kind is known the factory builds nothing and adds nothing.
#include "entity/agent.h"

PBaseEntity TAgentEntity::CreateEntity(uint8_t /*kind*/, uint16_t /*flags*/,
                                       const std::string& /*name*/, bool /*destroyAtEnd*/,
                                       int16_t /*x*/, int16_t /*y*/, uint16_t /*hold*/,
                                       uint16_t /*delay*/, uint16_t /*fadeIn*/,
                                       uint16_t /*fadeOut*/) {
  return nullptr;
}
