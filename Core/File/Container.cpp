#include "Core/File/Container.h"

namespace file
{

Container::~Container() = default;

} // namespace file
