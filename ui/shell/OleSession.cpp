#include "ui/shell/OleSession.h"

#include <ole2.h>

namespace itemprop
{

OleSession::OleSession() : m_initialized(SUCCEEDED(::OleInitialize(nullptr))) {}

OleSession::~OleSession()
{
    if (m_initialized)
        ::OleUninitialize();
}

} // namespace itemprop
