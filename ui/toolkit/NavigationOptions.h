#pragma once
// The header and footer buttons a page enables or disables together (an 8-bit set).
#include <QtGlobal>

namespace OX
{

class NavigationOptions
{
public:
    static constexpr quint8 none = 0x00;
    static constexpr quint8 header_left = 0x01; // the home button
    static constexpr quint8 header_right = 0x02; // the help button
    static constexpr quint8 header_title = 0x04;
    static constexpr quint8 footer_left = 0x08;
    static constexpr quint8 footer_right = 0x10; // the main right button
    static constexpr quint8 footer_alt = 0x20; // the alternative right button
    static constexpr quint8 header = 0x07;
    static constexpr quint8 footer = 0x38;
    static constexpr quint8 all = 0xFF;

    constexpr NavigationOptions(quint8 value = none)
        : m_value(value)
    {
    }
    constexpr operator quint8() const { return m_value; }
    constexpr quint8 value() const { return m_value; }
    // True when every bit of bits is set.
    constexpr bool testFlags(quint8 bits) const { return (m_value & bits) == bits; }
    constexpr bool testFlag(quint8 bit) const { return (m_value & bit) != 0; }

private:
    quint8 m_value;
};

} // namespace OX
