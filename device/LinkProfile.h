#pragma once
// A named set of LINK wheelchair-module parameters.
#include "protocol/LPP.h"

#include <QObject>
#include <QString>

class LinkProfile : public QObject {
    Q_OBJECT
public:
    // Built-in profiles, all three defined and with the same parameters.
    static const LinkProfile Normal;
    static const LinkProfile Restricted;
    static const LinkProfile Tremor;

    // Empty name, the all-zero record, not defined.
    explicit LinkProfile(QObject* parent = nullptr);
    // That name, the all-zero record, not defined.
    explicit LinkProfile(const QString& name);
    // Defined.
    LinkProfile(const QString& name, const LPP& parameters);
    // Name, parameters and the defined flag copied. The copy has no parent: it is a value
    // owned by whoever made it.
    LinkProfile(const LinkProfile& other);
    ~LinkProfile() override;

    // Copies name, parameters and the defined flag.
    LinkProfile& operator=(const LinkProfile& other);

    // True when the records are equal and the defined flags are equal; with compareNames the
    // names must also be equal ignoring case.
    bool isEqual(const LinkProfile& other, bool compareNames) const;

    // Names only, exactly (case-sensitive); lists of LINK profiles are searched with this.
    bool operator==(const LinkProfile& other) const { return name == other.name; }
    bool operator!=(const LinkProfile& other) const { return !(*this == other); }

    QString name;
    LPP parameters;
    bool defined;
};
