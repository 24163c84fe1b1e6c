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

// A plain field with reader and writer. Its initial value is also the
// declared default of the property table (Name##Default), so the two can
// never disagree.
#define RP_FIELD(Type, Name, Initial)                                                                        \
public:                                                                                                      \
    static Type Name##Default()                                                                              \
    {                                                                                                        \
        return Initial;                                                                                      \
    }                                                                                                        \
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
    Type F##Name = Initial;
