<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu_HU">
<context>
    <name>OX::PairingPage</name>
    <message>
        <source>not initialized</source>
        <translation>nincs inicializálva</translation>
    </message>
    <message>
        <source>not initialized: Remove Dongle</source>
        <translation>nincs inicializálva: húzza ki a dongle-t</translation>
    </message>
    <message>
        <source>entering service mode</source>
        <translation>belépés szervizmódba</translation>
    </message>
    <message>
        <source>looking for headset (turn on headset in service mode)</source>
        <translation>fejpánt keresése (kapcsolja be a fejpántot szervizmódban)</translation>
    </message>
    <message>
        <source>waiting for channelmap</source>
        <translation>várakozás a csatornatérképre</translation>
    </message>
    <message>
        <source>looking for devices (turn on LINK(s) in service mode)</source>
        <translation>eszközök keresése (kapcsolja be a LINK-(ek)et szervizmódban)</translation>
    </message>
    <message>
        <source>Pairing</source>
        <translation>Párosítás</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>Leaving pairing page</source>
        <translation>Kilépés a párosítás oldalról</translation>
    </message>
    <message>
        <source>No device added to headset. 
Are you sure that you want to leave the page?</source>
        <translation>Nem adott eszközt a fejpánthoz. 
Biztosan el akarja hagyni az oldalt?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Maradok az oldalon</translation>
    </message>
    <message>
        <source>Leave page</source>
        <translation>Oldal elhagyása</translation>
    </message>
    <message>
        <source>Network may changed</source>
        <translation>A hálózat megváltozhatott</translation>
    </message>
    <message>
        <source>If you add new device to your network it have the same password to be able to communicate with your devices.

Do you want to change the password?</source>
        <translation>Ha új eszközt ad a hálózathoz, annak ugyanazzal a jelszóval kell rendelkeznie, hogy kommunikálni tudjon az eszközeivel.

Meg szeretné változtatni a jelszót?</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>Jelszó módosítása</translation>
    </message>
    <message>
        <source>Keep current password</source>
        <translation>Jelenlegi jelszó megtartása</translation>
    </message>
    <message>
        <source>Unable to enter service mode</source>
        <translation>Nem sikerült szervizmódba lépni</translation>
    </message>
    <message>
        <source>Please remove the dongle, wait 10 seconds and insert it again!
It may redirect you to the previous page.</source>
        <translation>Húzza ki a dongle-t, várjon 10 másodpercet, majd dugja vissza!
Előfordulhat, hogy visszakerül az előző oldalra.</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Service mode required</source>
        <translation>Szervizmód szükséges</translation>
    </message>
    <message>
        <source>Operation requires service mode, to enter service mode press &quot;Enter service mode&quot; otherwise you have to leave pairing</source>
        <translation>A művelethez szervizmód szükséges. Szervizmódba lépéshez nyomja meg a „Belépés szervizmódba” gombot, különben ki kell lépnie a párosításból</translation>
    </message>
    <message>
        <source>Enter service mode</source>
        <translation>Belépés szervizmódba</translation>
    </message>
    <message>
        <source>Leave pairing</source>
        <translation>Kilépés a párosításból</translation>
    </message>
    <message>
        <source>Headset in service mode</source>
        <translation>Fejpánt szervizmódban</translation>
    </message>
    <message>
        <source>Your headset is in unnecessary service mode.
Please turn Off your headset than turn it On again. The headset details will appear on the center of the screen.</source>
        <translation>A fejpánt feleslegesen van szervizmódban.
Kapcsolja ki, majd újra be a fejpántot. A fejpánt adatai a képernyő közepén jelennek meg.</translation>
    </message>
    <message>
        <source>The dongle was removed</source>
        <translation>A dongle-t kihúzták</translation>
    </message>
    <message>
        <source>The network is full: a headset can hold %1 devices</source>
        <translation>A hálózat megtelt: egy fejpánt legfeljebb %1 eszközt kezelhet</translation>
    </message>
    <message>
        <source>Address %1 of this network belongs to another device (%2): remove it first, or pair in the other role</source>
        <translation>A hálózat %1. címe egy másik eszközé (%2): előbb távolítsa el, vagy párosítsa a másik szerepben</translation>
    </message>
    <message>
        <source>Pair with headset</source>
        <translation>Párosítás a fejpánttal</translation>
    </message>
    <message>
        <source>Are you sure you want to pair headset

%1

with this dongle?</source>
        <translation>Biztosan párosítja a(z)

%1

fejpántot ezzel a dongle-lel?</translation>
    </message>
    <message>
        <source>Pair as computer #1</source>
        <translation>Párosítás 1. számítógépként</translation>
    </message>
    <message>
        <source>Pair as computer #2</source>
        <translation>Párosítás 2. számítógépként</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nem</translation>
    </message>
    <message>
        <source>Set Address</source>
        <translation>Cím beállítása</translation>
    </message>
    <message>
        <source>Set PAN</source>
        <translation>PAN beállítása</translation>
    </message>
    <message>
        <source>Set CMAP</source>
        <translation>Csatornatérkép beállítása</translation>
    </message>
    <message>
        <source>Bind headset failed</source>
        <translation>A fejpánt párosítása sikertelen</translation>
    </message>
    <message>
        <source>Bind headset done</source>
        <translation>A fejpánt párosítása kész</translation>
    </message>
    <message>
        <source>Bind Link</source>
        <translation>LINK párosítása</translation>
    </message>
    <message>
        <source>Are you sure you want to pair LINK

%1

with this headset?</source>
        <translation>Biztosan párosítja a(z)

%1

LINK-et ezzel a fejpánttal?</translation>
    </message>
    <message>
        <source>As Primary Chair</source>
        <translation>Elsődleges kerekesszékként</translation>
    </message>
    <message>
        <source>As Secondary Chair</source>
        <translation>Másodlagos kerekesszékként</translation>
    </message>
    <message>
        <source>Pair link with headset (%1) failed</source>
        <translation>A LINK párosítása a fejpánttal sikertelen (%1)</translation>
    </message>
    <message>
        <source>Bind LINK failed</source>
        <translation>A LINK párosítása sikertelen</translation>
    </message>
    <message>
        <source>Bind LINK done</source>
        <translation>A LINK párosítása kész</translation>
    </message>
    <message>
        <source>Remove device failed</source>
        <translation>Az eszköz eltávolítása sikertelen</translation>
    </message>
    <message>
        <source>Remove device</source>
        <translation>Eszköz eltávolítása</translation>
    </message>
    <message>
        <source>Are you sure you want to remove

%1

from the network?</source>
        <translation>Biztosan eltávolítja a(z)

%1

eszközt a hálózatból?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Igen</translation>
    </message>
    <message>
        <source>Leave Service Mode</source>
        <translation>Kilépés a szervizmódból</translation>
    </message>
    <message>
        <source>Remove failed</source>
        <translation>Az eltávolítás sikertelen</translation>
    </message>
    <message>
        <source>Remove device (%1) failed</source>
        <translation>Az eszköz eltávolítása sikertelen (%1)</translation>
    </message>
    <message>
        <source>This dongle was left as it was.</source>
        <translation>A dongle változatlan maradt.</translation>
    </message>
    <message>
        <source>This dongle stays on its own network; the headset was not changed.</source>
        <translation>A dongle a saját hálózatán maradt; a fejpánt nem változott.</translation>
    </message>
    <message>
        <source>This dongle has joined the headset&apos;s network, but the headset&apos;s device list does not hold it: pair the headset again.</source>
        <translation>A dongle csatlakozott a fejpánt hálózatához, de a fejpánt eszközlistájában nem szerepel: párosítsa újra a fejpántot.</translation>
    </message>
    <message>
        <source>The LINK was left as it was.</source>
        <translation>A LINK változatlan maradt.</translation>
    </message>
    <message>
        <source>The LINK has joined this network under its old address; the headset&apos;s device list does not hold it: pair the LINK again.</source>
        <translation>A LINK a régi címével csatlakozott ehhez a hálózathoz; a fejpánt eszközlistájában nem szerepel: párosítsa újra a LINK-et.</translation>
    </message>
    <message>
        <source>The LINK has joined this network, but the headset&apos;s device list does not hold it: pair the LINK again.</source>
        <translation>A LINK csatlakozott ehhez a hálózathoz, de a fejpánt eszközlistájában nem szerepel: párosítsa újra a LINK-et.</translation>
    </message>
    <message>
        <source>The device is still in the network.</source>
        <translation>Az eszköz továbbra is a hálózatban van.</translation>
    </message>
    <message>
        <source>The device has left the network, but the headset&apos;s device list still holds it.</source>
        <translation>Az eszköz kilépett a hálózatból, de a fejpánt eszközlistájában még szerepel.</translation>
    </message>
    <message>
        <source>The dongle was unplugged while a device was being paired or removed. The dongle, the headset or a LINK may already have a new address, network or device list. Once the dongle is back, pair or remove the device again on the Pairing page.</source>
        <translation>A dongle-t kihúzták egy eszköz párosítása vagy eltávolítása közben. Lehet, hogy a dongle, a fejpánt vagy egy LINK már új címet, hálózatot vagy eszközlistát kapott. Ha a dongle ismét csatlakozik, párosítsa vagy távolítsa el újra az eszközt a Párosítás oldalon.</translation>
    </message>
</context>
<context>
    <name>PairingPage</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Headsets</source>
        <translation>Fejpántok</translation>
    </message>
    <message>
        <source>Links / Devices</source>
        <translation>LINK-ek / Eszközök</translation>
    </message>
</context>
<context>
    <name>OX::ServiceMode</name>
    <message>
        <source>Leave Service Mode</source>
        <translation>Kilépés a szervizmódból</translation>
    </message>
    <message>
        <source>A device may still be in service mode</source>
        <translation>Egy eszköz még szervizmódban lehet</translation>
    </message>
    <message>
        <source>Not every device answered the request to leave service mode. Switch off and on again the devices that still show service mode.</source>
        <translation>Nem minden eszköz válaszolt a szervizmódból való kilépés kérésére. Kapcsolja ki, majd újra be azokat az eszközöket, amelyek még szervizmódban vannak.</translation>
    </message>
</context>
</TS>
