<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="26"/>
        <source>General</source>
        <translation>Általános</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="31"/>
        <source>Driving Forward</source>
        <translation>Előremenet</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="36"/>
        <source>Turning</source>
        <translation>Kanyarodás</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="52"/>
        <source>Previous</source>
        <translation>Előző</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="65"/>
        <source>Next</source>
        <translation>Következő</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.ui" line="68"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="32"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This range applies to slow to average chair speed. This will also set the minimum value of your highspeed deadzone.</source>
        <translation>A holtzóna a kis fejmozdulatok tartománya, amelyekre a szék nem reagál. Ez a tartomány a lassú és közepes sebességre vonatkozik. Egyben a gyors holtzóna legkisebb értékét is megadja.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="39"/>
        <source>Set drive properties</source>
        <translation>Menetbeállítások</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="40"/>
        <source>Here you can change your driving gesture direction and set your reversing preferences.</source>
        <translation>Itt módosíthatja a vezetési mozdulat irányát és beállíthatja a tolatási beállításokat.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="43"/>
        <source>Set forward movement range</source>
        <translation>Előremenet tartományának beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="44"/>
        <source>How do you wish to move and speed the chair forward? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Hogyan szeretné előre mozgatni és gyorsítani a széket? Kezdje el dönteni a fejét abban a tartományban, amelyre a szék reagáljon.
A képen lévő ikonokat húzással is mozgathatja.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="49"/>
        <source>Set forward safety limit</source>
        <translation>Előre biztonsági határ beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="50"/>
        <source>To avoid moving forward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Hogy a szék ne induljon előre, ha a fejpánt nagyon nagy mozdulatot tesz (pl. egy hirtelen esemény eltereli a figyelmét), állítsa be a biztonsági határt.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="55"/>
        <source>Set backward movement range</source>
        <translation>Hátramenet tartományának beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="56"/>
        <source>How do you wish to move and speed the chair backwards? Start tilting your head  in the range you wish the chair to react. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Hogyan szeretné hátrafelé mozgatni és gyorsítani a széket? Kezdje el dönteni a fejét abban a tartományban, amelyre a szék reagáljon.
A képen lévő ikonokat húzással is mozgathatja.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="61"/>
        <source>Set backward safety limit</source>
        <translation>Hátra biztonsági határ beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="62"/>
        <source>To avoid moving backward when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Hogy a szék ne induljon hátra, ha a fejpánt nagyon nagy mozdulatot tesz (pl. egy hirtelen esemény eltereli a figyelmét), állítsa be a biztonsági határt.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="67"/>
        <source>Set slowspeed deadzone</source>
        <translation>Lassú holtzóna beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="69"/>
        <location filename="../../ui/link/LinkPageForms.cpp" line="100"/>
        <source>Set highspeed deadzone</source>
        <translation>Gyors holtzóna beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="70"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower the zone values, change the slowspeed deadzone settings first.</source>
        <translation>A holtzóna a kis fejmozdulatok tartománya, amelyekre a szék nem reagál. Ez a beállítás a legnagyobb sebességre vonatkozik. A zóna értékeinek csökkentéséhez először a lassú holtzónát módosítsa.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="77"/>
        <source>Set turning right</source>
        <translation>Jobbra kanyarodás beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="78"/>
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the right. 
 Alternatively, you can drag an move the icons on the picture. </source>
        <translation>Nyomja meg a Start gombot, és döntse vagy fordítsa a fejét abban a tartományban, amelyre a szék reagáljon és jobbra forduljon.
A képen lévő ikonokat húzással is mozgathatja. </translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="82"/>
        <source>Set safety limit to the right</source>
        <translation>Jobb oldali biztonsági határ beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="83"/>
        <source>To avoid turning to the right when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Hogy a szék ne forduljon jobbra, ha a fejpánt nagyon nagy mozdulatot tesz (pl. egy hirtelen esemény eltereli a figyelmét), állítsa be a biztonsági határt.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="87"/>
        <source>Set turning left</source>
        <translation>Balra kanyarodás beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="88"/>
        <source>Press Start and tilt or turn your head in the range you wish the chair to react and move to the left. 
 Alternatively, you can drag an move the icons on the picture.</source>
        <translation>Nyomja meg a Start gombot, és döntse vagy fordítsa a fejét abban a tartományban, amelyre a szék reagáljon és balra forduljon.
A képen lévő ikonokat húzással is mozgathatja.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="92"/>
        <source>Set safety limit to the left</source>
        <translation>Bal oldali biztonsági határ beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="93"/>
        <source>To avoid turning to the left when your headset is making a very big movement (e.g. a sudden event grabs your attention), please set your safety limit.</source>
        <translation>Hogy a szék ne forduljon balra, ha a fejpánt nagyon nagy mozdulatot tesz (pl. egy hirtelen esemény eltereli a figyelmét), állítsa be a biztonsági határt.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="98"/>
        <source>Set slowpeed deadzone</source>
        <translation>Lassú holtzóna beállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPageForms.cpp" line="101"/>
        <source>Deadzone is the range of small head movements where the chair won&apos;t react to the movements of your head. This setting applies to maximum chair speed. To lower min. value, change the slowspeed deadzone settings first.</source>
        <translation>A holtzóna a kis fejmozdulatok tartománya, amelyekre a szék nem reagál. Ez a beállítás a legnagyobb sebességre vonatkozik. A legkisebb érték csökkentéséhez először a lassú holtzónát módosítsa.</translation>
    </message>
</context>
<context>
    <name>LinkSelectionPage</name>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.ui" line="36"/>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Select LINK to get details than press &lt;span style=&quot; font-weight:600;&quot;&gt;Settings&lt;/span&gt; to change LINK parameters. if you connect an other LINK to the network press &lt;span style=&quot; font-weight:600;&quot;&gt;Refresh&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Válasszon ki egy LINK-et a részletekhez, majd nyomja meg a &lt;span style=&quot; font-weight:600;&quot;&gt;Beállítások&lt;/span&gt; gombot a LINK paramétereinek módosításához. Ha másik LINK-et csatlakoztat a hálózathoz, nyomja meg a &lt;span style=&quot; font-weight:600;&quot;&gt;Frissítés&lt;/span&gt; gombot&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>OX::LinkPage</name>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="197"/>
        <source>Link lost, save parameters failed</source>
        <translation>A Link elveszett, a paraméterek mentése nem sikerült</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="235"/>
        <source>Reset Parameters</source>
        <translation>Paraméterek visszaállítása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="255"/>
        <source>Apply</source>
        <translation>Alkalmaz</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="256"/>
        <source>Revert</source>
        <translation>Visszavonás</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="312"/>
        <source>Link not present</source>
        <translation>A Link nem található</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="313"/>
        <source>Turn link ON or exit service mode by long tap on Link&apos;s button (red indicator light will off).</source>
        <translation>Kapcsolja be a Link-et, vagy lépjen ki a szervizmódból a Link gombjának hosszú megnyomásával (a piros jelzőfény kialszik).</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="315"/>
        <source>Press cancel to leave Link settings page.</source>
        <translation>A Mégse gombbal kiléphet a Link beállítások oldaláról.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="316"/>
        <source>Retry</source>
        <translation>Újra</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="316"/>
        <source>Cancel</source>
        <translation>Mégse</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="318"/>
        <source>Save settings</source>
        <translation>Beállítások mentése</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="319"/>
        <source>Before changing the settings, would you like Orvix Tools to save this version as a back up?</source>
        <translation>A beállítások módosítása előtt szeretné, hogy az Orvix Tools biztonsági másolatként elmentse ezt a változatot?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="321"/>
        <source>If you select yes, you will be able to revert back to the current settings after making changes that you end up not liking.</source>
        <translation>Ha az igent választja, visszatérhet a jelenlegi beállításokhoz, ha a módosítások végül nem tetszenek.</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="324"/>
        <source>Save</source>
        <translation>Mentés</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="324"/>
        <source>Don&apos;t save</source>
        <translation>Nem mentem</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="371"/>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="373"/>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="400"/>
        <source>You have changes in your selected link profile. Do you want to apply changes?</source>
        <translation>A kiválasztott Link-profil módosult. Alkalmazza a módosításokat?</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Link settings about to leave</source>
        <translation>Kilépés a Link beállításaiból</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Stay on page</source>
        <translation>Maradok az oldalon</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkPage.cpp" line="401"/>
        <source>Dismiss and leave page</source>
        <translation>Elvetés és kilépés az oldalról</translation>
    </message>
    <message>
        <source>Parameters outside their limits</source>
        <translation>Határértéken kívüli paraméterek</translation>
    </message>
    <message>
        <source>%1 holds parameters outside the LINK's limits; such a record is never sent:</source>
        <translation>%1 a LINK határértékein kívüli paramétereket tartalmaz; ilyen rekord soha nem kerül elküldésre:</translation>
    </message>
    <message>
        <source>The LINK's own record</source>
        <translation>A LINK saját rekordja</translation>
    </message>
    <message>
        <source>The backup</source>
        <translation>A biztonsági mentés</translation>
    </message>
    <message>
        <source>The record to apply</source>
        <translation>Az alkalmazandó rekord</translation>
    </message>
    <message>
        <source>Backup not saved</source>
        <translation>A biztonsági mentés nincs elmentve</translation>
    </message>
    <message>
        <source>The backup could not be saved because your settings cannot be written. It can be restored only until OrvixTools quits.</source>
        <translation>A biztonsági mentést nem sikerült elmenteni, mert a beállításokat nem lehet írni. Csak az OrvixTools bezárásáig lehet visszaállítani.</translation>
    </message>
</context>
<context>
    <name>OX::LinkSelectionPage</name>
    <message>
        <source>Headset not found</source>
        <translation>A fejpánt nem található</translation>
    </message>
    <message>
        <source>Dongle not connected</source>
        <translation>A dongle nincs csatlakoztatva</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="78"/>
        <source>Link selection</source>
        <translation>Link kiválasztása</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="80"/>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="81"/>
        <source>Settings</source>
        <translation>Beállítások</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="82"/>
        <source>Refresh</source>
        <translation>Frissítés</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="254"/>
        <source>PAN</source>
        <translation>PAN</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="255"/>
        <source>Address</source>
        <translation>Cím</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="256"/>
        <source>Version</source>
        <translation>Verzió</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="263"/>
        <source>Revision</source>
        <translation>Revízió</translation>
    </message>
    <message>
        <location filename="../../ui/link/LinkSelectionPage.cpp" line="264"/>
        <source>Serial</source>
        <translation>Sorozatszám</translation>
    </message>
</context>
</TS>
