<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>OrvixDirector</name>
    <message>
        <source>Profile not applied</source>
        <translation>A profil nincs alkalmazva</translation>
    </message>
    <message>
        <source>The selected mouse profile could not be applied to the dongle.</source>
        <translation>A kiválasztott egérprofilt nem sikerült a dongle-re alkalmazni.</translation>
    </message>
</context>
</TS>
