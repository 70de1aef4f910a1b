<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>OrvixDirector</name>
    <message>
        <source>Profile not applied</source>
        <translation>Profile not applied</translation>
    </message>
    <message>
        <source>The selected mouse profile could not be applied to the dongle.</source>
        <translation>The selected mouse profile could not be applied to the dongle.</translation>
    </message>
</context>
</TS>
