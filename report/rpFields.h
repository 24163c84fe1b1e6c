// How report classes declare their class information and their stored
// fields.
#pragma once

#include "rpPropInfo.h"

// Every class with a property table declares these two.
#define RP_CLASS_INFO                                                                                        \
public:                                                                                                      \
    static const TrpClassInfo& StaticClassInfo();                                                            \
    const TrpClassInfo& ClassInfo() const override                                                           \
    {                                                                                                        \
        return StaticClassInfo();                                                                            \
    }

// A plain field with reader and writer.
#define RP_FIELD(Type, Name, Default)                                                                        \
public:                                                                                                      \
    Type Name() const                                                                                        \
    {                                                                                                        \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value)                                                                               \
    {                                                                                                        \
        F##Name = Value;                                                                                     \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Default;
