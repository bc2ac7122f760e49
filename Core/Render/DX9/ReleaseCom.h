#pragma once

namespace render
{

// Lets go of a device object the renderer holds and forgets it.
template <class T>
void ReleaseCom(T*& object)
{
    if (object)
    {
        object->Release();
        object = nullptr;
    }
}

} // namespace render
