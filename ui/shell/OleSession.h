#pragma once
// OLE for the calling (user-interface) thread, for as long as the object lives. The shell's menus,
// drag and drop and folder browser need it; the program entry owns one for the program's life.
namespace itemprop
{

class OleSession
{
public:
    OleSession();
    ~OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    bool Initialized() const { return m_initialized; }

private:
    bool m_initialized;
};

} // namespace itemprop
