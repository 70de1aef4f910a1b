<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>LinkBackwardSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkDriveSettingForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>Reversed forward Drive</source>
        <translation>Marche avant inversée</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Move your head backward to speed the chair forward&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Inclinez la tête vers l’arrière pour faire avancer le fauteuil&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Reversing&lt;/span&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Marche arrière&lt;/span&gt; :&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;You have to turn off reversing audio feedback in PG module to avoid multiple sound signals&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Désactivez le signal sonore de marche arrière dans le module PG pour éviter que plusieurs signaux ne retentissent&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Play sound when reversing</source>
        <translation>Émettre un son en marche arrière</translation>
    </message>
    <message>
        <source>Reversing start delay:</source>
        <translation>Délai avant la marche arrière :</translation>
    </message>
    <message>
        <source> seconds</source>
        <translation> s</translation>
    </message>
</context>
<context>
    <name>LinkForwardHighSpeedForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkForwardSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkForwardSlowspeedForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkGeneralForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Set center&lt;/span&gt;: Here you can set what is you preferred method to (re-)center the position of your headset.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Centrage&lt;/span&gt; : choisissez ici comment (re)centrer la position de votre casque.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Automatique</translation>
    </message>
    <message>
        <source>Timer</source>
        <translation>Minuterie</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Automatic&lt;/span&gt;: When your head stays still for a significant amount of time, we will automatically do the setting of the center for you.&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Timer&lt;/span&gt;: On a short press of the headset button, you&apos;ll have a limited amount of time to move your head to the center. We&apos;ll do the counter for you.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Automatique&lt;/span&gt; : quand votre tête reste immobile assez longtemps, le centrage se fait automatiquement.&lt;/p&gt;&lt;p&gt;&lt;span style=" font-weight:600;"&gt;Minuterie&lt;/span&gt; : après un appui bref sur le bouton du casque, vous disposez d’un temps limité pour amener votre tête au centre. Nous comptons pour vous.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Jump to center after:</source>
        <translation>Revenir au centre après :</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>s</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tremor filter&lt;/span&gt;: If you ever experience tremors, this setting can help you make your diriving experience smoother. The higher the setting, the less sensitive your headset will be to smaller movements.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Filtre de tremblements&lt;/span&gt; : si vous avez parfois des tremblements, ce réglage peut rendre votre conduite plus douce. Plus la valeur est élevée, moins le casque réagit aux petits mouvements.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Fifth switch&lt;/span&gt;:&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Cinquième contacteur&lt;/span&gt; :&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>use face wink as fifth swicth</source>
        <translation>utiliser le clin d’œil comme cinquième contacteur</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;If you want to avoid accidental turning off of the chair when using this option, please make sure that you limit the long press length of your winking so that it is below the length of truning off the chair that you have set in the PG software. Setting the limit means that even if you wink after the set time, we will deactivate the fifth button.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Pour éviter d’éteindre le fauteuil par accident avec cette option, limitez la durée de l’appui long de votre clin d’œil en dessous de la durée d’extinction du fauteuil réglée dans le logiciel PG. Avec cette limite, le cinquième contacteur est relâché une fois le temps écoulé, même si vous gardez l’œil fermé.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Long press limit on</source>
        <translation>Limite de l’appui long activée</translation>
    </message>
</context>
<context>
    <name>LinkLeftSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkMoveBackwardForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkMoveForwardForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkProfilesDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Dialogue</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;To restore &lt;span style=&quot; font-weight:600;&quot;&gt;LINK&lt;/span&gt; parameter to it&apos;s &lt;span style=&quot; font-weight:600;&quot;&gt;defaults&lt;/span&gt;, you have to select one from the list below&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Pour rétablir les &lt;span style=&quot; font-weight:600;&quot;&gt;valeurs par défaut&lt;/span&gt; des paramètres du &lt;span style=&quot; font-weight:600;&quot;&gt;LINK&lt;/span&gt;, choisissez un profil dans la liste ci-dessous&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tremor&lt;/span&gt;: Select this option if you experience tremors sometimes.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Restricted&lt;/span&gt;: Select this option if you can only move your head in a limited range.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Normal&lt;/span&gt;: This option is recommended to the majority of our users.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Tremor&lt;/span&gt; : choisissez cette option si vous avez parfois des tremblements.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Restricted&lt;/span&gt; : choisissez cette option si vous ne pouvez bouger la tête que dans une amplitude limitée.&lt;/p&gt;&lt;p&gt;&lt;br/&gt;&lt;/p&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600;&quot;&gt;Normal&lt;/span&gt; : cette option est recommandée pour la plupart de nos utilisateurs.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>LinkRightSafetyLimitForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkTurningHighspeedForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkTurningLeftForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkTurningRightForm</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>LinkTurningSlowspeedform</name>
    <message>
        <source>Form</source>
        <translation>Formulaire</translation>
    </message>
</context>
<context>
    <name>OX::LinkProfilesDialog</name>
    <message>
        <source>Select profile</source>
        <translation>Choisir un profil</translation>
    </message>
    <message>
        <source>Reset parameters</source>
        <translation>Réinitialiser les paramètres</translation>
    </message>
</context>
</TS>
