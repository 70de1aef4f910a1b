<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>Dongle</name>
    <message>
        <source>Headset revision mismatch</source>
        <translation>A fejpánt revíziója nem megfelelő</translation>
    </message>
    <message>
        <source>Headset not available while controlling LINK/Chair</source>
        <translation>A fejpánt nem elérhető, amíg LINK-et vagy kerekesszéket vezérel</translation>
    </message>
    <message>
        <source>Query Devices</source>
        <translation>Eszközök lekérdezése</translation>
    </message>
    <message>
        <source>Leave Service</source>
        <translation>Kilépés a szervizmódból</translation>
    </message>
    <message>
        <source>Headset</source>
        <translation>Fejpánt</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
</context>
<context>
    <name>OrvixDirector</name>
    <message>
        <source>Dongle
connected</source>
        <translation>Dongle
csatlakoztatva</translation>
    </message>
    <message>
        <source>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the latest version&lt;/a&gt;</source>
        <translation>&lt;p&gt;A dongle nem kompatibilis az OrvixTools ezen verziójával&lt;/p&gt;&lt;p&gt;Nem egyező protokollrevízió&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;A legújabb verzió letöltése&lt;/a&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Your dongle is not compatible with this version of OrvixTools&lt;/p&gt;&lt;p&gt;Protocol revision mismatch&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Download the previous version&lt;/a&gt;</source>
        <translation>&lt;p&gt;A dongle nem kompatibilis az OrvixTools ezen verziójával&lt;/p&gt;&lt;p&gt;Nem egyező protokollrevízió&lt;/p&gt;&lt;a style=&quot;%1&quot; href=&quot;%2&quot;&gt;Az előző verzió letöltése&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>A dongle nincs csatlakoztatva</translation>
    </message>
    <message>
        <source>Unable to connect to dongle, remove dongle from USB and reconnect it back again.</source>
        <translation>Nem sikerült csatlakozni a dongle-hoz. Húzza ki a dongle-t az USB-portból, majd csatlakoztassa újra.</translation>
    </message>
    <message>
        <source>Headset communication failure</source>
        <translation>Kommunikációs hiba a fejpánttal</translation>
    </message>
    <message>
        <source>Do you want to try again?</source>
        <translation>Szeretné újra megpróbálni?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Igen</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nem</translation>
    </message>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
    <message>
        <source>Show ...</source>
        <translation>Megjelenítés ...</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Kilépés</translation>
    </message>
    <message>
        <source>Orvix tools</source>
        <translation>Orvix tools</translation>
    </message>
    <message>
        <source>Started</source>
        <translation>Elindult</translation>
    </message>
    <message>
        <source>Software update</source>
        <translation>Szoftverfrissítés</translation>
    </message>
    <message>
        <source>Software update to %1 is available.&lt;br&gt;Do you want to update now?</source>
        <translation>Elérhető a(z) %1 szoftverfrissítés.&lt;br&gt;Szeretné most frissíteni?</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Frissítés</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Most nem</translation>
    </message>
    <message>
        <source>The software update could not be started. Please install the update manually.</source>
        <translation>A szoftverfrissítést nem sikerült elindítani. Kérjük, telepítse a frissítést kézzel.</translation>
    </message>
    <message>
        <source>Downloading software update v %1. Installation will start automatically, please wait.</source>
        <translation>A(z) v %1 szoftverfrissítés letöltése folyamatban. A telepítés automatikusan elindul, kérjük, várjon.</translation>
    </message>
    <message>
        <source>The software update could not be installed.&lt;br&gt;&lt;br&gt;%1</source>
        <translation>A szoftverfrissítést nem sikerült telepíteni.&lt;br&gt;&lt;br&gt;%1</translation>
    </message>
</context>
<context>
    <name>ProfileManager</name>
    <message>
        <source>The dongle&apos;s settings may differ from the profile shown.</source>
        <translation>A dongle beállításai eltérhetnek a megjelenített profiltól.</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Párbeszédablak</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Link Drive</source>
        <translation>Link meghajtás</translation>
    </message>
    <message>
        <source>Link Actuator</source>
        <translation>Link aktuátor</translation>
    </message>
    <message>
        <source>PC #1</source>
        <translation>1. PC</translation>
    </message>
    <message>
        <source>PC #2</source>
        <translation>2. PC</translation>
    </message>
    <message>
        <source>Chair Drive</source>
        <translation>Kerekesszék meghajtás</translation>
    </message>
    <message>
        <source>Chair Mouse</source>
        <translation>Kerekesszék egér</translation>
    </message>
    <message>
        <source>Chair Actuator</source>
        <translation>Kerekesszék aktuátor</translation>
    </message>
    <message>
        <source>Link Outdoor Drive</source>
        <translation>Link kültéri meghajtás</translation>
    </message>
    <message>
        <source>Unknown Preset</source>
        <translation>Ismeretlen beállítás</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>ismeretlen</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Checksum mismatch</source>
        <translation>Hibás ellenőrzőösszeg</translation>
    </message>
    <message>
        <source>Invalid response</source>
        <translation>Érvénytelen válasz</translation>
    </message>
    <message>
        <source>Command queue is empty</source>
        <translation>A parancssor üres</translation>
    </message>
    <message>
        <source>Operation timed out</source>
        <translation>A művelet túllépte az időkorlátot</translation>
    </message>
    <message>
        <source>Query channel map failed</source>
        <translation>A csatornatérkép lekérdezése sikertelen</translation>
    </message>
    <message>
        <source>No headset connected</source>
        <translation>Nincs csatlakoztatott fejpánt</translation>
    </message>
    <message>
        <source>Headset is active</source>
        <translation>A fejpánt aktív</translation>
    </message>
    <message>
        <source>Invalid command</source>
        <translation>Érvénytelen parancs</translation>
    </message>
    <message>
        <source>Invalid revision</source>
        <translation>Érvénytelen revízió</translation>
    </message>
    <message>
        <source>Exception</source>
        <translation>Kivétel</translation>
    </message>
    <message>
        <source>Invalid dongle state</source>
        <translation>Érvénytelen dongle-állapot</translation>
    </message>
    <message>
        <source>Dongle is not in service mode</source>
        <translation>A dongle nincs szervizmódban</translation>
    </message>
    <message>
        <source>Not implemented</source>
        <translation>Nincs megvalósítva</translation>
    </message>
    <message>
        <source>Unknwon error</source>
        <translation>Ismeretlen hiba</translation>
    </message>
    <message>
        <source>less than 1 minute</source>
        <translation>kevesebb mint 1 perc</translation>
    </message>
    <message>
        <source>less than %1 minutes</source>
        <translation>kevesebb mint %1 perc</translation>
    </message>
    <message>
        <source>less than %1 hours</source>
        <translation>kevesebb mint %1 óra</translation>
    </message>
    <message>
        <source>more than a day</source>
        <translation>több mint egy nap</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Sikertelen</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Megszakítva</translation>
    </message>
    <message>
        <source>A headset holds at most %1 devices</source>
        <translation>Egy fejpánt legfeljebb %1 eszközt tárolhat</translation>
    </message>
    <message>
        <source>Refused by the device</source>
        <translation>Az eszköz elutasította</translation>
    </message>
    <message>
        <source>Dongle removed</source>
        <translation>A dongle-t kihúzták</translation>
    </message>
    <message>
        <source>No dongle connected</source>
        <translation>Nincs csatlakoztatott dongle</translation>
    </message>
</context>
<context>
    <name>SidebarDialog</name>
    <message>
        <source>OrvixTools</source>
        <translation>OrvixTools</translation>
    </message>
    <message>
        <source>Show or hide OrvixTools</source>
        <translation>Az OrvixTools megjelenítése vagy elrejtése</translation>
    </message>
    <message>
        <source>Dongle</source>
        <translation>Dongle</translation>
    </message>
    <message>
        <source>No dongle</source>
        <translation>Nincs dongle</translation>
    </message>
    <message>
        <source>No headset</source>
        <translation>Nincs fejpánt</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktív</translation>
    </message>
    <message>
        <source>Passive</source>
        <translation>Passzív</translation>
    </message>
    <message>
        <source>The on-screen keyboard did not start</source>
        <translation>A képernyő-billentyűzet nem indult el</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Turn on turbo mode</source>
        <translation>Turbó mód bekapcsolása</translation>
    </message>
</context>
</TS>
