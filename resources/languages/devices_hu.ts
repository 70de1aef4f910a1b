<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu_HU">
<context>
    <name>CalibrationPage</name>
    <message>
        <source>Magnetometer</source>
        <translation>Magnetométer</translation>
    </message>
    <message>
        <source>Gyroscope</source>
        <translation>Giroszkóp</translation>
    </message>
    <message>
        <source>Accelerometer</source>
        <translation>Gyorsulásmérő</translation>
    </message>
</context>
<context>
    <name>DeviceWidget</name>
    <message>
        <source>PAN:</source>
        <translation>PAN:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Cím:</translation>
    </message>
    <message>
        <source>Serial:</source>
        <translation>Gyári sz.:</translation>
    </message>
</context>
<context>
    <name>DevicesPage</name>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;You can reorder your devices. Select a device in the list than press the &amp;quot;up&amp;quot; or &amp;quot;down&amp;quot; button or drag and drop it to the appropriate place.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Az eszközök sorrendjét módosíthatja. Válasszon ki egy eszközt a listában, majd nyomja meg a „fel” vagy „le” gombot, vagy húzza a megfelelő helyre.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::CalibrationPage</name>
    <message>
        <source>Calibration</source>
        <translation>Kalibrálás</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Mégse</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Visszaállítás</translation>
    </message>
    <message>
        <source>Don&apos;t touch the headset, leave it on the table</source>
        <translation>Ne érintse meg a fejpántot, hagyja az asztalon</translation>
    </message>
    <message>
        <source>Rotate the headset in the air around it&apos;s all axes</source>
        <translation>Forgassa a fejpántot a levegőben minden tengelye körül</translation>
    </message>
    <message>
        <source>Rotate the heaset, after every 45° on each axis keep it still for a moment</source>
        <translation>Forgassa a fejpántot, és minden tengely mentén minden 45° után tartsa egy pillanatig mozdulatlanul</translation>
    </message>
    <message>
        <source>The calibration is complete. Press &quot;Back&quot; to finish the operation</source>
        <translation>A kalibrálás befejeződött. A művelet befejezéséhez nyomja meg a „Vissza” gombot</translation>
    </message>
    <message>
        <source>Headset not found</source>
        <translation>A fejpánt nem található</translation>
    </message>
    <message>
        <source>The headset did not go into calibration mode.</source>
        <translation>A fejpánt nem lépett kalibrálási módba.</translation>
    </message>
    <message>
        <source>The headset did not confirm that it went into calibration mode.</source>
        <translation>A fejpánt nem erősítette meg, hogy kalibrálási módba lépett.</translation>
    </message>
    <message>
        <source>The headset did not confirm that it left calibration mode.</source>
        <translation>A fejpánt nem erősítette meg, hogy kilépett a kalibrálási módból.</translation>
    </message>
</context>
<context>
    <name>OX::DevicesPage</name>
    <message>
        <source>Headset not found</source>
        <translation>A fejpánt nem található</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>A dongle nincs csatlakoztatva</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Eszközök</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Alkalmaz</translation>
    </message>
    <message>
        <source>Devices about to leave</source>
        <translation>Kilépés az eszközökből</translation>
    </message>
    <message>
        <source>You have change in your device order. Do you want to apply changes?</source>
        <translation>Módosította az eszközök sorrendjét. Szeretné alkalmazni a változásokat?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Maradok az oldalon</translation>
    </message>
    <message>
        <source>Dismiss and leave page</source>
        <translation>Elvetés és kilépés az oldalról</translation>
    </message>
    <message>
        <source>The headset refused the new device order. It keeps the order shown.</source>
        <translation>A fejpánt elutasította az eszközök új sorrendjét. A látható sorrend marad érvényben.</translation>
    </message>
    <message>
        <source>The headset did not answer. The order shown is the last one it confirmed.</source>
        <translation>A fejpánt nem válaszolt. A látható sorrend az utolsó, amelyet megerősített.</translation>
    </message>
</context>
</TS>
