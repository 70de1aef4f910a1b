<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="hu">
<context>
    <name>ProfilesPage</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Select Control Mode:</source>
        <translation>Vezérlési mód:</translation>
    </message>
    <message>
        <source>Absolute</source>
        <translation>Abszolút</translation>
    </message>
    <message>
        <source>Relative</source>
        <translation>Relatív</translation>
    </message>
    <message>
        <source>Single Keystroke</source>
        <translation>Egyetlen billentyű</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Absolute&lt;/span&gt; mode allows for a smoother experience: the mouse is just there where you want it to be, based on the current position of your head. You don't even have to adjust the mouse position on the edges. You can only control the mouse on your primary screen in this mode.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Relative&lt;/span&gt; mode provides the traditional head mouse experience where the cursor’s movements mimic the movement of your head.&lt;/p&gt;&lt;p&gt;In &lt;span style=" font-weight:600;"&gt;Single keystroke&lt;/span&gt; mode we enable you to use any assistance tools that support single keytroke to use your computer.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Abszolút&lt;/span&gt; mód: egyenletesebb használat; az egér ott van, ahová szeretné, a feje aktuális helyzete szerint. A képernyő szélein sem kell igazítani. Ebben a módban az egér csak az elsődleges képernyőn vezérelhető.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Relatív&lt;/span&gt; mód: a hagyományos fejegér, amelyben a kurzor a fej mozgását követi.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Egyetlen billentyű&lt;/span&gt; módban bármely, egyetlen billentyűvel működő segédeszközzel használhatja a számítógépét.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Set Center:</source>
        <translation>Középre állítás:</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatikus</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Időzítő</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatic&lt;/span&gt;: When your head stays still for a significant amount of time, we will automatically do the setting of the center for you.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Timer&lt;/span&gt;: On a short press of the headset button, you'll have a limited amount of time to move your head to the center. We'll do the counter for you.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatikus&lt;/span&gt;: ha a feje elég hosszú ideig mozdulatlan, a középre állítás automatikusan megtörténik.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Időzítő&lt;/span&gt;: a fejpánt gombjának rövid megnyomása után korlátozott ideje van, hogy a fejét középre fordítsa. A visszaszámlálást mi végezzük.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Jump to center after:</source>
        <translation>Középre ugrás ennyi idő után:</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>másodperc</translation>
    </message>
    <message>
        <source>Audio feedback (beep)</source>
        <translation>Hangjelzés (sípolás)</translation>
    </message>
    <message>
        <source>Visual feedback (crosshair)</source>
        <translation>Vizuális jelzés (célkereszt)</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>If you use any single keystrike accessibility tool like "Assistive Context-Aware Toolkit", you can easly control it with your headset. Blinking will activate your selected key.</source>
        <translation>Ha egyetlen billentyűvel vezérelhető akadálymentesítő eszközt használ, például az „Assistive Context-Aware Toolkit”-et, a fejpánttal könnyen vezérelheti. Pislogással a kiválasztott billentyűt működteti.</translation>
    </message>
    <message>
        <source>Press any keyboard button to assign</source>
        <translation>Nyomja meg a hozzárendelendő billentyűt</translation>
    </message>
    <message>
        <source>Tremor Filter:</source>
        <translation>Remegésszűrő:</translation>
    </message>
    <message>
        <source>Head Movement Ranges:</source>
        <translation>Fejmozgás tartománya:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Set the range in which your head movements will be tracked.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Állítsa be, milyen tartományban kövesse a rendszer a fejmozgását.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Horizontal:</source>
        <translation>Vízszintes:</translation>
    </message>
    <message>
        <source>Vertical:</source>
        <translation>Függőleges:</translation>
    </message>
    <message>
        <source>Autorange: allows you to extend the range by moving the cursor out of screen</source>
        <translation>Automatikus tartomány: a kurzort a képernyőn túlra mozgatva bővítheti a tartományt</translation>
    </message>
    <message>
        <source>Mouse Speed:</source>
        <translation>Egérsebesség:</translation>
    </message>
</context>
<context>
    <name>SecurityPage</name>
    <message>
        <source>Form</source>
        <translation>Űrlap</translation>
    </message>
    <message>
        <source>Enter password</source>
        <translation>Jelszó</translation>
    </message>
    <message>
        <source>Retype password</source>
        <translation>Jelszó újra</translation>
    </message>
    <message>
        <source>Set network password</source>
        <translation>Hálózati jelszó beállítása</translation>
    </message>
</context>
<context>
    <name>OX::ProfilesPage</name>
    <message>
        <source>Press any keyboard button to assign</source>
        <translation>Nyomja meg a hozzárendelendő billentyűt</translation>
    </message>
    <message>
        <source>Press the button to assign a keyboard button</source>
        <translation>Billentyű hozzárendeléséhez nyomja meg a gombot</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Alkalmaz</translation>
    </message>
    <message>
        <source>Try It</source>
        <translation>Kipróbálás</translation>
    </message>
    <message>
        <source>Mouse Profiles</source>
        <translation>Egérprofilok</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
    </message>
    <message>
        <source>Test Profile</source>
        <translation>Profil kipróbálása</translation>
    </message>
    <message>
        <source>Profile upload failed</source>
        <translation>A profil feltöltése nem sikerült</translation>
    </message>
    <message>
        <source>Apply Profile</source>
        <translation>Profil alkalmazása</translation>
    </message>
    <message>
        <source>Testing in progress</source>
        <translation>Kipróbálás folyamatban</translation>
    </message>
    <message>
        <source>Is it confortable? Do you want to keep changes?

After 30 seconds the settings will be reverted to the last state.</source>
        <translation>Kényelmes így? Megtartja a módosításokat?

30 másodperc után a korábbi beállítások térnek vissza.</translation>
    </message>
    <message>
        <source>Testing Profile</source>
        <translation>Profil kipróbálása</translation>
    </message>
    <message>
        <source>Revert profile failed</source>
        <translation>A profil visszaállítása nem sikerült</translation>
    </message>
    <message>
        <source>Profile selected</source>
        <translation>Profil kiválasztva</translation>
    </message>
    <message>
        <source>You have changes in your selected profile. Do you want to dismiss changes?</source>
        <translation>A kiválasztott profil módosult. Elveti a módosításokat?</translation>
    </message>
    <message>
        <source>Dismiss changes</source>
        <translation>Módosítások elvetése</translation>
    </message>
    <message>
        <source>Stay on profile</source>
        <translation>Maradok a profilnál</translation>
    </message>
    <message>
        <source>Create profile</source>
        <translation>Profil létrehozása</translation>
    </message>
    <message>
        <source>Delete profile</source>
        <translation>Profil törlése</translation>
    </message>
    <message>
        <source>Deleting "default" profile is not possible!</source>
        <translation>A „default” profil nem törölhető!</translation>
    </message>
    <message>
        <source>Remove Profile</source>
        <translation>Profil eltávolítása</translation>
    </message>
    <message>
        <source>Select Profile</source>
        <translation>Profil kiválasztása</translation>
    </message>
    <message>
        <source>Profile selection failed</source>
        <translation>A profil kiválasztása nem sikerült</translation>
    </message>
    <message>
        <source>Rename profile</source>
        <translation>Profil átnevezése</translation>
    </message>
    <message>
        <source>A profile needs a name.</source>
        <translation>A profilnak nevet kell adni.</translation>
    </message>
    <message>
        <source>A profile named "%1" already exists.</source>
        <translation>Már létezik „%1” nevű profil.</translation>
    </message>
    <message>
        <source>The name "default" belongs to the default profile.</source>
        <translation>A „default” név az alapértelmezett profilé.</translation>
    </message>
    <message>
        <source>The profile could not be renamed.</source>
        <translation>A profilt nem sikerült átnevezni.</translation>
    </message>
    <message>
        <source>Reset profile</source>
        <translation>Profil visszaállítása</translation>
    </message>
    <message>
        <source>Leave mouse profile settings</source>
        <translation>Kilépés az egérprofil beállításaiból</translation>
    </message>
    <message>
        <source>You have changes in your selected profile. Do you want to apply changes?</source>
        <translation>A kiválasztott profil módosult. Alkalmazza a módosításokat?</translation>
    </message>
    <message>
        <source>Stay on page</source>
        <translation>Maradok az oldalon</translation>
    </message>
    <message>
        <source>Dismiss and Leave page</source>
        <translation>Elvetés és kilépés az oldalról</translation>
    </message>
</context>
<context>
    <name>OX::SecurityPage</name>
    <message>
        <source>To be able to change your network password, please turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</source>
        <translation>A hálózati jelszó módosításához kapcsolja ki a fejpántot, majd a gombot nyomva tartva kapcsolja be újra. Így szervizmódba kerül, és elérhetőként megjelenik ezen a képernyőn.</translation>
    </message>
    <message>
        <source>Now put your Link(s) on this network into service mode by pressing the Link’s button with a long press (3 seconds).</source>
        <translation>Most állítsa a hálózat Link eszközeit szervizmódba a Link gombjának hosszú (3 másodperces) megnyomásával.</translation>
    </message>
    <message>
        <source>Set the password for this Dongle OR if you want to change the password for your Headset on this network of devices, turn off your headset and turn it on while pushing the button. This will put it into service mode and make it appear as available on this screen.</source>
        <translation>Állítsa be ennek a dongle-nak a jelszavát, VAGY ha a hálózat fejpántjának jelszavát is módosítaná, kapcsolja ki a fejpántot, majd a gombot nyomva tartva kapcsolja be újra. Így szervizmódba kerül, és elérhetőként megjelenik ezen a képernyőn.</translation>
    </message>
    <message>
        <source>Set your new network password below.
Please note that if you have multiple Dongles in this network of devices, you have to repeat this process later on your other computer or by connecting them to Orvix Tools on this computer and applying the SAME password.</source>
        <translation>Adja meg lent az új hálózati jelszót.
Ha a hálózatban több dongle is van, a folyamatot később meg kell ismételnie a másik számítógépen, vagy a dongle-okat ehhez a számítógéphez csatlakoztatva az Orvix Toolsban, UGYANAZZAL a jelszóval.</translation>
    </message>
    <message>
        <source>We were unable to set the password for some of the devices (please refer to the diagram). Restart the process by putting all your devices into service mode again. If the Dongle is one of them, please remove and reconnect it to start the process again.</source>
        <translation>Néhány eszköz jelszavát nem sikerült beállítani (lásd az ábrát). Kezdje újra a folyamatot: állítsa ismét szervizmódba az összes eszközt. Ha a dongle is köztük van, húzza ki, majd csatlakoztassa újra a folyamat újrakezdéséhez.</translation>
    </message>
    <message>
        <source>All passwords set. You can now leave the page. This will take all your devices out of service mode.
If you have multiple Dongles, don’t forget to set the password with your remaining Dongles by repeating this process on the other computers or by connecting the Dongles to this computer 1 by 1.</source>
        <translation>Minden jelszó beállítva. Most már elhagyhatja az oldalt; ekkor minden eszköz kilép a szervizmódból.
Ha több dongle-ja van, ne felejtse el a többin is beállítani a jelszót: ismételje meg a folyamatot a többi számítógépen, vagy csatlakoztassa a dongle-okat egyenként ehhez a számítógéphez.</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Biztonság</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Vissza</translation>
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
        <source>Only letters, digits and signs without accents can be used, not “%1”.</source>
        <translation>Csak ékezet nélküli betűk, számjegyek és jelek használhatók, ez nem: „%1”.</translation>
    </message>
    <message>
        <source>At most %1 characters; %2 are typed.</source>
        <translation>Legfeljebb %1 karakter; %2 van beírva.</translation>
    </message>
    <message>
        <source>Spaces alone are no password.</source>
        <translation>Csak szóközökből nem állhat jelszó.</translation>
    </message>
    <message>
        <source>Setting the network password on the devices found. Please wait.</source>
        <translation>A hálózati jelszó beállítása folyik a megtalált eszközökön. Kérjük, várjon.</translation>
    </message>
    <message>
        <source>This headset&apos;s device list is empty, so no device shares a network password with it yet. Pair this computer with the headset on the Pairing page first, then come back here.</source>
        <translation>A fejpánt eszközlistája üres, így még egyetlen eszköz sem osztozik vele hálózati jelszón. Először párosítsa ezt a számítógépet a fejpánttal a Párosítás oldalon, majd térjen vissza ide.</translation>
    </message>
    <message>
        <source>The dongle was unplugged while the new password was being set. Some devices may already have the new password. Set the password again once the dongle is back.</source>
        <translation>A dongle-t kihúzták, miközben az új jelszó beállítása folyt. Lehet, hogy néhány eszköz már az új jelszót használja. Ha a dongle ismét csatlakozik, állítsa be újra a jelszót.</translation>
    </message>
    <message>
        <source>Not every device took the new network password.</source>
        <translation>Nem minden eszköz vette át az új hálózati jelszót.</translation>
    </message>
    <message>
        <source>Open the Security page again, put all your devices into service mode and set the same password again.</source>
        <translation>Nyissa meg újra a Biztonság oldalt, állítsa az összes eszközét szervizmódba, és állítsa be újra ugyanazt a jelszót.</translation>
    </message>
</context>
</TS>
