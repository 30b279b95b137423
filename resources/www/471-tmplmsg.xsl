<?xml version="1.0" encoding="utf-8"?>
<!-- The WeChat notice form of one record: the module's message templates to choose from, the
     sender's own line, the students who can receive it with what each would read, and the
     button that sends it (route "sendmsg"). The previews arrive as HTML text whose values
     are escaped and whose lines end in "<br/>"; they are split at the breaks and shown as
     text, never pasted in as markup. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">微信通知</xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:variable name="item" select="item[1]"/>
    <form class="form" method="post" action="sendmsg"
          onsubmit="var c=this.querySelectorAll('input[name=rcver]:checked'),v=[];for(var i=0;i&lt;c.length;i++)if(v.indexOf(c[i].value)&lt;0)v.push(c[i].value);this.rcvers.value=v.join(',');if(!v.length){{alert('请勾选要接收微信通知的学员！');return false;}}return true;">
      <input type="hidden" name="mduid" value="{@mduid}"/>
      <input type="hidden" name="query" value="{@query}"/>
      <input type="hidden" name="rcvers" value=""/>
      <h3><xsl:value-of select="@itemtype"/>：<xsl:value-of select="$item/@title"/></h3>
      <xsl:choose>
        <xsl:when test="not(tmpls/tmpl)">
          <p class="error">此类项目没有微信通知模板。</p>
        </xsl:when>
        <xsl:when test="not(rcvers/rcver)">
          <p class="error">当前<xsl:value-of select="@itemtype"/>中无用户通过微信公众号登录绑定，无法发送微信通知！</p>
        </xsl:when>
        <xsl:otherwise>
          <div class="hint">通知消息类型</div>
          <div class="list">
            <xsl:for-each select="tmpls/tmpl">
              <label class="item">
                <input type="radio" name="tmplid" value="{@id}">
                  <xsl:if test="position() = 1"><xsl:attribute name="checked">checked</xsl:attribute></xsl:if>
                </input>
                <xsl:value-of select="@title"/>
                <xsl:if test="@userdeftitle != ''">（需填写<xsl:value-of select="@userdeftitle"/>）</xsl:if>
              </label>
            </xsl:for-each>
          </div>
          <xsl:if test="tmpls/tmpl[@userdeftitle != '']">
            <div class="hint">
              <xsl:for-each select="tmpls/tmpl[@userdeftitle != '']">
                <xsl:if test="position() &gt; 1">、</xsl:if>
                <xsl:value-of select="@userdeftitle"/>
              </xsl:for-each>
            </div>
            <input type="text" name="msguserdef" value="{tmpls/tmpl[@userdeftitle != ''][1]/@userdefvalue}"/>
          </xsl:if>
          <div class="hint">接收学员</div>
          <div class="list">
            <xsl:for-each select="rcvers/rcver">
              <div class="item">
                <label>
                  <input type="checkbox" name="rcver" value="{@id}" checked="checked"/>
                  <xsl:value-of select="@name"/>
                </label>
                <xsl:for-each select="msgs/msg">
                  <div class="hint">
                    <xsl:value-of select="@title"/>
                  </div>
                  <p>
                    <xsl:call-template name="preview">
                      <xsl:with-param name="text" select="@preview"/>
                      <xsl:with-param name="userdef" select="/r/tmpls/tmpl[@id = current()/@id]/@userdefvalue"/>
                    </xsl:call-template>
                  </p>
                </xsl:for-each>
              </div>
            </xsl:for-each>
          </div>
          <input class="button" type="submit" value="发送"/>
        </xsl:otherwise>
      </xsl:choose>
    </form>
  </xsl:template>

  <!-- One line of the preview per "<br/>"; the sender's line shows the template's default. -->
  <xsl:template name="preview">
    <xsl:param name="text"/>
    <xsl:param name="userdef"/>
    <xsl:if test="$text != ''">
      <xsl:variable name="line">
        <xsl:choose>
          <xsl:when test="contains($text, '&lt;br/&gt;')"><xsl:value-of select="substring-before($text, '&lt;br/&gt;')"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$text"/></xsl:otherwise>
        </xsl:choose>
      </xsl:variable>
      <xsl:variable name="filled">
        <xsl:call-template name="replace">
          <xsl:with-param name="text" select="$line"/>
          <xsl:with-param name="from" select="'[MsgUserDef]'"/>
          <xsl:with-param name="to" select="$userdef"/>
        </xsl:call-template>
      </xsl:variable>
      <xsl:call-template name="unescape">
        <xsl:with-param name="text" select="$filled"/>
      </xsl:call-template>
      <br/>
      <xsl:call-template name="preview">
        <xsl:with-param name="text" select="substring-after($text, '&lt;br/&gt;')"/>
        <xsl:with-param name="userdef" select="$userdef"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:template>

  <!-- The escaped text back to its characters, which value-of then writes escaped once. -->
  <xsl:template name="unescape">
    <xsl:param name="text"/>
    <xsl:variable name="a">
      <xsl:call-template name="replace">
        <xsl:with-param name="text" select="$text"/>
        <xsl:with-param name="from" select="'&amp;lt;'"/>
        <xsl:with-param name="to" select="'&lt;'"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="b">
      <xsl:call-template name="replace">
        <xsl:with-param name="text" select="$a"/>
        <xsl:with-param name="from" select="'&amp;gt;'"/>
        <xsl:with-param name="to" select="'&gt;'"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:variable name="c">
      <xsl:call-template name="replace">
        <xsl:with-param name="text" select="$b"/>
        <xsl:with-param name="from" select="'&amp;quot;'"/>
        <xsl:with-param name="to" select="'&quot;'"/>
      </xsl:call-template>
    </xsl:variable>
    <xsl:call-template name="replace">
      <xsl:with-param name="text" select="$c"/>
      <xsl:with-param name="from" select="'&amp;amp;'"/>
      <xsl:with-param name="to" select="'&amp;'"/>
    </xsl:call-template>
  </xsl:template>

  <xsl:template name="replace">
    <xsl:param name="text"/>
    <xsl:param name="from"/>
    <xsl:param name="to"/>
    <xsl:choose>
      <xsl:when test="$from != '' and contains($text, $from)">
        <xsl:value-of select="substring-before($text, $from)"/>
        <xsl:value-of select="$to"/>
        <xsl:call-template name="replace">
          <xsl:with-param name="text" select="substring-after($text, $from)"/>
          <xsl:with-param name="from" select="$from"/>
          <xsl:with-param name="to" select="$to"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$text"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
