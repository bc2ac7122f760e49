//gPixelShaderTexturedTintText
texture g_MeshTexture;

sampler TextureSampler = sampler_state
{
    Texture = <g_MeshTexture>;
    MipFilter = LINEAR;
    MinFilter = LINEAR;
    MagFilter = LINEAR;
};

struct PS_INPUT
{
    float4 position : POSITION;
    float4 color : COLOR0;
    float2 TuTv : TEXCOORD0;
    float2 Tint : TEXCOORD1;
};

float4 pixel_shader(PS_INPUT input) : COLOR0
{
    float4 s = tex2D(TextureSampler, input.TuTv);
    float4 c;
    c.rgb = s.rgb * input.Tint.y + input.color.rgb * input.Tint.x;
    c.a = s.a * input.color.a;
    return c;
}
