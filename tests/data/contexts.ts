<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MainWindow</name>
    <message>
        <source>Stop</source>
        <translation>Zatrzymaj</translation>
    </message>
</context>
<context>
    <name>PrimeGenerator</name>
    <message>
        <source>Generuj liczby</source>
        <translation>Generate numbers</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>Look in:</source>
        <translation>Szukaj w:</translation>
    </message>
</context>
</TS>
